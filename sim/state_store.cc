#include "sim/state_store.h"

#include <algorithm>
#include <utility>

#include "sim/scenario_json.h"

namespace ambervale::sim {
namespace {

constexpr int64_t kLeastBound = 1 << 20;

}  // namespace

StateStore::StateStore(std::string state_path, int64_t bound)
    : state_path_(std::move(state_path)),
      journal_path_(JournalPathOf(state_path_)),
      bound_option_(bound) {}

void StateStore::SetBound(size_t snapshot_size) {
  bound_ = bound_option_ > 0 ? bound_option_
                             : std::max(static_cast<int64_t>(snapshot_size), kLeastBound);
}

std::optional<StateStore::Kept> StateStore::Load(std::chrono::sys_days today, std::string* error) {
  const std::optional<std::string> snapshot = ReadFile(state_path_);
  if (!snapshot) {
    *error = "cannot read state file " + state_path_;
    return std::nullopt;
  }
  std::string why;
  std::optional<World> world = ReadWorld(*snapshot, WorldSource::kState, today, &why);
  if (!world) {
    *error = state_path_ + ": " + why;
    return std::nullopt;
  }
  fingerprint_ = SnapshotFingerprint(*snapshot);
  SetBound(snapshot->size());
  Kept kept{std::move(*world), {}, {}, {}};
  if (!FileExists(journal_path_)) return kept;
  const std::optional<std::string> text = ReadFile(journal_path_);
  if (!text) {
    *error = "cannot read journal " + journal_path_;
    return std::nullopt;
  }
  std::optional<JournalText> journal = ReadJournal(*text, fingerprint_, kept.world, &why);
  if (!journal) {
    *error = journal_path_ + ": " + why;
    return std::nullopt;
  }
  if (journal->dropped_tail) {
    kept.notes.push_back(journal_path_ + ": the last line, " + *journal->dropped_tail +
                         ", was left out: the host ended while writing it");
  }
  if (!journal->follows_snapshot) {
    if (!text->empty() && !journal->dropped_tail) {
      kept.notes.push_back(journal_path_ +
                           ": left out, it follows an earlier state file (the host ended while "
                           "writing the state file anew, which holds its entries)");
    }
    return kept;
  }
  kept.session = std::move(journal->session);
  kept.records = std::move(journal->records);
  return kept;
}

Status StateStore::Append(const JournalRecord& record) {
  if (journal_ == nullptr || !journal_->Append(JournalRecordLine(record))) {
    return Status::Error("cannot write journal " + journal_path_);
  }
  ++records_;
  return Status::Ok();
}

bool StateStore::CompactionDue() const {
  return journal_ != nullptr && journal_->size() - header_size_ > bound_;
}

Status StateStore::Compact(const World& world, const Session& session) {
  const std::string snapshot = WriteWorld(world);
  if (!WriteFileAtomically(state_path_, snapshot)) {
    bound_ *= 2;  // tried again when the journal has grown as much again
    return Status::Error("cannot write state file " + state_path_);
  }
  fingerprint_ = SnapshotFingerprint(snapshot);
  SetBound(snapshot.size());
  return StartJournal(session);
}

Status StateStore::StartJournal(const Session& session) {
  journal_.reset();
  records_ = 0;
  if (WriteFileAtomically(journal_path_, JournalHeaderLine(fingerprint_, session))) {
    journal_ = AppendingFile::Open(journal_path_);
  }
  if (journal_ == nullptr) return Status::Error("cannot write journal " + journal_path_);
  header_size_ = journal_->size();
  return Status::Ok();
}

}  // namespace ambervale::sim

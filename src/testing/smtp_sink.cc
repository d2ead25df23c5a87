#include "testing/smtp_sink.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

extern char** environ;

namespace ambervale::testing {
namespace {

constexpr int kStartTimeoutMs = 15000;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string StringOr(const nlohmann::json& j, const char* key) {
  const auto it = j.find(key);
  return it != j.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::string DecodeBase64(std::string_view text) {
  std::string out;
  unsigned buffer = 0;
  int bits = 0;
  for (char c : text) {
    int v = -1;
    if (c >= 'A' && c <= 'Z') v = c - 'A';
    if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
    if (c >= '0' && c <= '9') v = c - '0' + 52;
    if (c == '+') v = 62;
    if (c == '/') v = 63;
    if (v < 0) continue;
    buffer = buffer << 6 | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<char>((buffer >> bits) & 0xFF));
    }
  }
  return out;
}

ReceivedMail ParseSummary(const nlohmann::json& j, std::string raw) {
  ReceivedMail m;
  m.mail_from = StringOr(j, "mail_from");
  for (const auto& r : j.value("rcpt_tos", nlohmann::json::array())) {
    m.rcpt_tos.push_back(r.get<std::string>());
  }
  m.authenticated = j.value("authenticated", false);
  m.login = StringOr(j, "login");
  const nlohmann::json headers = j.value("headers", nlohmann::json::object());
  for (const auto& [name, values] : headers.items()) {
    for (const auto& v : values) m.headers[name].push_back(v.get<std::string>());
  }
  m.body = StringOr(j, "body");
  m.body_charset = StringOr(j, "body_charset");
  for (const auto& a : j.value("attachments", nlohmann::json::array())) {
    m.attachments.push_back({StringOr(a, "filename"), StringOr(a, "content_type"),
                             StringOr(a, "charset"), DecodeBase64(StringOr(a, "data_base64"))});
  }
  for (const auto& d : j.value("defects", nlohmann::json::array())) {
    m.defects.push_back(d.get<std::string>());
  }
  m.raw = std::move(raw);
  return m;
}

}  // namespace

std::string ReceivedMail::Header(const std::string& lower_case_name) const {
  const auto it = headers.find(lower_case_name);
  return it == headers.end() || it->second.empty() ? "" : it->second.front();
}

SmtpSink::SmtpSink(std::string folder, SmtpSinkOptions options) : folder_(std::move(folder)) {
  status_ = Start(options);
  if (!status_.ok()) Stop();
}

SmtpSink::~SmtpSink() { Stop(); }

std::string SmtpSink::Address() const { return "127.0.0.1:" + std::to_string(port_); }

Status SmtpSink::Start(const SmtpSinkOptions& options) {
  int to_child[2];
  int from_child[2];
  if (pipe2(to_child, O_CLOEXEC) != 0) return Status::Error("pipe failed");
  if (pipe2(from_child, O_CLOEXEC) != 0) {
    close(to_child[0]);
    close(to_child[1]);
    return Status::Error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, to_child[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, from_child[1], STDOUT_FILENO);
  const char* auth = options.auth == SmtpSinkOptions::Auth::kNone      ? "none"
                     : options.auth == SmtpSinkOptions::Auth::kOffered ? "offered"
                                                                       : "required";
  std::vector<std::string> args = {"/usr/bin/python3",
                                   AMBERVALE_SMTP_SINK_SCRIPT,
                                   folder_,
                                   "--auth",
                                   auth,
                                   "--user",
                                   options.user,
                                   "--password",
                                   options.password};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(to_child[0]);
  close(from_child[1]);
  stdin_fd_ = to_child[1];
  stdout_fd_ = from_child[0];
  if (spawned != 0) {
    pid_ = -1;
    return Status::Error(std::string("cannot start the SMTP sink: ") + std::strerror(spawned));
  }
  // The first line on its stdout is the port.
  std::string line;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  while (line.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{stdout_fd_, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
      return Status::Error("the SMTP sink did not report its port");
    }
    char buffer[64];
    const ssize_t n = read(stdout_fd_, buffer, sizeof buffer);
    if (n <= 0) return Status::Error("the SMTP sink ended before reporting its port");
    line.append(buffer, static_cast<size_t>(n));
  }
  port_ = std::atoi(line.c_str());
  if (port_ <= 0) return Status::Error("the SMTP sink reported no port: " + line);
  return Status::Ok();
}

void SmtpSink::Stop() {
  if (stdin_fd_ >= 0) close(stdin_fd_);
  stdin_fd_ = -1;
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }
  if (stdout_fd_ >= 0) close(stdout_fd_);
  stdout_fd_ = -1;
}

std::vector<ReceivedMail> SmtpSink::Messages() const {
  std::vector<std::filesystem::path> summaries;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    if (entry.path().extension() == ".json") summaries.push_back(entry.path());
  }
  std::sort(summaries.begin(), summaries.end());
  std::vector<ReceivedMail> mails;
  for (const auto& path : summaries) {
    std::filesystem::path eml = path;
    eml.replace_extension(".eml");
    mails.push_back(ParseSummary(nlohmann::json::parse(ReadFile(path)), ReadFile(eml)));
  }
  return mails;
}

}  // namespace ambervale::testing

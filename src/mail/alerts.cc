#include "mail/alerts.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "logs/logs.h"
#include "mail/alert_memory.h"
#include "platform/classic_text.h"
#include "platform/files.h"
#include "platform/ini.h"

namespace ambervale {
namespace {

// The SMTP settings, read from settings.ini at every send.
struct SmtpSettings {
  std::string server;
  std::string from;
  bool use_authentication = false;
  std::string user;
  std::string password;
};

SmtpSettings ReadSmtpSettings(const clsINI& ini, const std::string& path) {
  SmtpSettings s;
  s.server = Trim(ini.ReadFromINI("MailSetting", "SMTPServerString", "", path));
  s.from = Trim(ini.ReadFromINI("MailSetting", "FromString", "", path));
  s.use_authentication =
      Trim(ini.ReadFromINI("MailSetting", "SMTPNeedLoginString", "", path)) == "TRUE";
  s.user = Trim(ini.ReadFromINI("MailSetting", "SMTPUserNameString", "", path));
  s.password = Trim(ini.ReadFromINI("MailSetting", "SMTPPasswordString", "", path));
  return s;
}

// Hands one message to the component in the component's order of operations; stops at the
// first failing step. `text` absent: no message text; `attachment` empty: no attachment.
Status HandOver(Mailer& mailer, const SmtpSettings& smtp, std::string_view recipients,
                std::string_view subject, const std::optional<std::string>& text,
                const std::string& attachment) {
  const std::string to = Trim(recipients);
  const std::vector<std::function<Status()>> steps = {
      [&] { return mailer.SetRecipientSeparator(";"); },
      [&] { return mailer.SetServer(smtp.server); },
      [&] { return mailer.SetFrom(smtp.from); },
      [&] { return mailer.SetRecipients(to); },
      [&] { return mailer.SetSubject(subject); },
      [&] { return text ? mailer.SetMessageText(*text) : Status::Ok(); },
      [&] { return attachment.empty() ? Status::Ok() : mailer.AddAttachment(attachment); },
      [&] { return mailer.SetUseAuthentication(smtp.use_authentication); },
      [&] { return mailer.SetUserName(smtp.user); },
      [&] { return mailer.SetPassword(smtp.password); },
      [&] { return mailer.Send(); },
  };
  for (const auto& step : steps) {
    Status s = step();
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

// A subject travels in one header line: line breaks inside it become blanks.
std::string FoldLineBreaks(std::string_view text) {
  std::string out = Replace(text, "\r\n", " ");
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

}  // namespace

Alerts::Alerts(frmMain& form, MailerFactory& mailers) : form_(form), mailers_(mailers) {}

Status Alerts::Deliver(std::string_view recipients, std::string_view subject,
                       const std::optional<std::string>& text, const std::string& attachment) {
  // A fresh component for every message, released right after the send.
  std::unique_ptr<Mailer> mailer = mailers_.Create();
  if (mailer == nullptr) return Status::Error("the mail component could not be created");
  const SmtpSettings smtp = ReadSmtpSettings(clsINI(form_.files()), form_.SettingsPath());
  return HandOver(*mailer, smtp, recipients, FoldLineBreaks(subject), text, attachment);
}

Status Alerts::SendEmailAlert(std::string_view message, bool runSucceeded) {
  const std::string path = form_.SettingsPath();
  const clsINI ini(form_.files());
  Logs& logs = form_.logs();
  const bool unticketed = form_.IsUnticketedMode();

  // The unticketed report is completed before anything can fail, so that a mail problem
  // never costs the report (the next start clears the temporary files).
  if (unticketed) {
    if (!runSucceeded) {
      logs.AppendUnticketedHeader("Run completed successfully: N,,,");
      logs.AppendUnticketedHeader("Last PCC completed successfully: " + form_.tmpCurrentPCC +
                                  ",,,");
      logs.AppendUnticketedHeader(message);
    }
    for (const std::string& line : form_.colReportLines) logs.AppendUnticketedHeader(line);
    (void)logs.BuildUnticketedReport();
  }

  // The unticketed report is never held back; a repeated general alert may be.
  std::string quiet_problem;
  const int quiet_minutes = unticketed ? 0 : ReadAlertQuietMinutes(ini, path, &quiet_problem);
  if (!quiet_problem.empty()) {
    logs.WriteDebugLog("##### " + FormatDateTime(form_.env().LocalNow()) + ". " + quiet_problem +
                       " #####");
  }
  std::optional<AlertMemory> memory;
  if (quiet_minutes > 0) {
    memory.emplace(logs);
    if (const std::optional<TimePoint> last = memory->MailedWithin(Trim(message), quiet_minutes)) {
      form_.AddActionLog("Alert not mailed: the same alert went at " +
                         FormatDateTime(form_.env().ToLocal(*last)) + ", less than " +
                         std::to_string(quiet_minutes) +
                         " minutes ago ([EMails] AlertQuietMinutes): " + Trim(message));
      return Status::Ok();
    }
  }

  const std::string internal = ini.ReadFromINI("EMails", "EmailInternal", "", path);
  const std::string help_desk = ini.ReadFromINI("EMails", "EmailVantoraHelpDesk", "", path);
  std::string recipients = internal;
  if (!help_desk.empty() && !Contains(internal, help_desk)) recipients += ";" + help_desk;

  const std::string stamp = FormatDateTime(form_.env().LocalNow());
  logs.WriteActionLogFile(stamp + " - Sending Email Alert to " + recipients + "....");

  const std::string subject = ini.ReadFromINI("MailSetting", "SubjectString", "", path);
  const Status result =
      unticketed ? Deliver(recipients, subject, std::nullopt, logs.UnticketedReportPath())
                 : Deliver(recipients, subject, Trim(message), "");

  const std::string done = FormatDateTime(form_.env().LocalNow());
  if (!result.ok()) {
    logs.WriteActionLogFile(done + " - Sending Email Alert FAILED to " + recipients + ": " +
                            result.message());
    return result;
  }
  logs.WriteActionLogFile(done + " - Email Alert sent to " + recipients);
  if (memory) memory->Remember(Trim(message), quiet_minutes);
  return Status::Ok();
}

std::string Alerts::SendFailQueueEmail(std::string_view subject, std::string_view body,
                                       bool attachFailQueueLog) {
  const std::string path = form_.SettingsPath();
  const clsINI ini(form_.files());
  Logs& logs = form_.logs();

  std::string recipients = ini.ReadFromINI("FailQueue", "EmailAlert1", "", path);
  for (const char* key : {"EmailAlert2", "EmailAlert3"}) {
    const std::string more = ini.ReadFromINI("FailQueue", key, "", path);
    if (!more.empty() && !Contains(recipients, more)) recipients += ";" + more;
  }
  logs.WriteActionLogFile(FormatDateTime(form_.env().LocalNow()) + " - Sending Email Alert to " +
                          recipients + "....");

  const Status result =
      Deliver(recipients, subject, Trim(body),
              attachFailQueueLog ? JoinPath(logs.folder(), "Fail_Queue_Log.csv") : "");

  const std::string stamp = FormatDateTime(form_.env().LocalNow());
  if (!result.ok()) {
    logs.WriteActionLogFile(stamp + " - Sending Email Alert FAILED to " + recipients +
                            " FAILED !!!");
    logs.WriteDebugLog("##### " + stamp + ". Fail Queue e-mail not sent: " + result.message() +
                       " #####");
    return "Fail";
  }
  const std::string sent = stamp + " - Email Alert sent to " + recipients;
  logs.WriteActionLogFile(sent);
  logs.WriteRunLog(sent, kRunLogPrefix);
  return "OK";
}

}  // namespace ambervale

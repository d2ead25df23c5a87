#pragma once

// The program's state on test doubles: a temporary program folder with its logs folder, the
// fake clock, a recording window and mailer, frmMain and the alerts. Members are public so
// that tests can script and inspect them.

#include <string>
#include <string_view>

#include "form/frm_main.h"
#include "logs/logs.h"
#include "mail/alerts.h"
#include "testing/fake_env.h"
#include "testing/recording_mailer.h"
#include "testing/recording_window.h"
#include "testing/temp_dir.h"

namespace ambervale {

struct TestProgram {
  TestProgram();

  // settings.ini in the program folder (lines joined with CR LF).
  void WriteSettings(std::string_view text) const;
  // The bytes of logs/<name>; empty when missing.
  std::string Log(std::string_view name) const;
  // The scrambled run log in clear text.
  std::string RunLog() const;

  TempDir dir;
  FakeEnv env;
  RecordingWindow window;
  Logs logs;
  frmMain form;
  RecordingMailerFactory mailers;
  Alerts alerts;
};

}  // namespace ambervale

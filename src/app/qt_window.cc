#include "app/qt_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

#include "form/frm_main.h"
#include "platform/cp1252.h"

namespace ambervale {
namespace {

// The design is measured in twips, 15 to the pixel here.
constexpr int Px(int twips) { return twips / 15; }
QRect TwipRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}

QString FromCp1252(std::string_view text) {
  const std::string utf8 = Cp1252ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A list line on one row: its line breaks shown as blanks.
QString OneRow(std::string_view text) {
  QString shown = FromCp1252(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  shown.replace(QChar('\r'), QChar(' '));
  shown.replace(QChar('\n'), QChar(' '));
  return shown;
}

QColor FromBgr(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(geometry);
  label->setAlignment(alignment);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QGroupBox* MakeFrame(QWidget* parent, const char* name, const char* title, QRect geometry) {
  auto* frame = new QGroupBox(QString::fromLatin1(title), parent);
  frame->setObjectName(QString::fromLatin1(name));
  frame->setGeometry(geometry);
  return frame;
}

// A stage label: centred text on a coloured panel.
QLabel* MakeStatusLabel(QWidget* parent, const char* name, const char* text, QRect geometry,
                        uint32_t bgr) {
  QLabel* label = MakeLabel(parent, name, QString::fromLatin1(text), geometry, Qt::AlignCenter);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAutoFillBackground(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, FromBgr(bgr));
  label->setPalette(palette);
  return label;
}

// The small mark between two stage labels, in place of the design's images.
void MakeSeparator(QWidget* parent, int x, int y) {
  MakeLabel(parent, "stageSeparator", QString(QChar(0x25B8)), QRect(x, y, 12, 20), Qt::AlignCenter);
}

QLabel* MakeCounter(QWidget* parent, const char* name, QRect geometry, bool bold) {
  QLabel* label = MakeLabel(parent, name, bold ? QStringLiteral("0") : QString(), geometry);
  QFont font = label->font();
  font.setBold(bold);
  label->setFont(font);
  return label;
}

}  // namespace

class QtWindow::Form : public QWidget {
 public:
  explicit Form(QtWindow& owner) : owner_(owner) {}

  // Watches the action list: every double-click on it, on a line or beside the lines (the
  // list's own signal fires only on a line), is reported.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonDblClick && owner_.handler_ != nullptr) {
      owner_.handler_->OnActionLogDoubleClick();
    }
    return QWidget::eventFilter(watched, event);
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    bool accept = false;
    owner_.OnCloseEvent(&accept);
    if (accept) {
      event->accept();
    } else {
      event->ignore();
    }
  }

 private:
  QtWindow& owner_;
};

QtWindow::QtWindow() : form_(std::make_unique<Form>(*this)) { Build(); }

QtWindow::~QtWindow() = default;

void QtWindow::Build() {
  QWidget* form = form_.get();
  form->setObjectName(QStringLiteral("frmMain"));
  form->setWindowTitle(FromCp1252(kProgramTitle));
  form->setFixedSize(Px(9945), Px(5985));
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);
  form->setFont(font);

  QGroupBox* status = MakeFrame(form, "fmeStatus", "Status", TwipRect(120, 120, 9735, 975));
  MakeLabel(status, "lblMoveSuccessed", QStringLiteral("Move successed: "), QRect(12, 16, 96, 20));
  controls_[Control::kLbSuccessCount] =
      MakeCounter(status, "lbSuccessCount", QRect(108, 16, 64, 20), true);
  controls_[Control::kLbSuccessSubCount] =
      MakeCounter(status, "lbSuccessSubCount", QRect(172, 16, 70, 20), false);
  MakeLabel(status, "lblMoveFailed", QStringLiteral("Move failed:"), QRect(330, 16, 76, 20));
  controls_[Control::kLbFailCount] =
      MakeCounter(status, "lbFailCount", QRect(406, 16, 64, 20), true);
  controls_[Control::kLbFailSubCount] =
      MakeCounter(status, "lbfailsubcount", QRect(470, 16, 70, 20), false);

  // The stage labels in running order with a mark between them.
  const struct {
    Control control;
    const char* name;
    const char* caption;
    int width;
  } kStages[] = {
      {Control::kLblCountDown, "lblCountDown", "Count down", 120},
      {Control::kLblPeekQueue, "lblPeekQueue", "Peek queue", 110},
      {Control::kLblRetrieveDataFromQueue, "lblRetrieveDataFromQueue", "Retrieve PNR from queue",
       170},
      {Control::kLblMoveQueue, "lblMoveQueue", "Move PNR to destination queue", 197},
  };
  int x = 8;
  for (const auto& stage : kStages) {
    if (x > 8) {
      MakeSeparator(status, x, 39);
      x += 12;
    }
    const uint32_t colour = stage.control == Control::kLblCountDown ? kHighlight : kGrey;
    controls_[stage.control] =
        MakeStatusLabel(status, stage.name, stage.caption, QRect(x, 39, stage.width, 20), colour);
    x += stage.width;
  }

  const struct {
    Control frame;
    const char* name;
    const char* caption;
    int left;
    Control success;
    const char* success_name;
    Control failed;
    const char* failed_name;
  } kFailFrames[] = {
      {Control::kFrmToFail, "frmToFail", "To Fail Category", 120, Control::kLblSuccessToFailQ,
       "lblSuccessToFailQ", Control::kLblFailToFailQ, "lblFailToFailQ"},
      {Control::kFrmFromFail, "frmFromFail", "From Fail Category", 5040,
       Control::kLblSuccessFromFailQ, "lblSuccessFromFailQ", Control::kLblFailFromFailQ,
       "lblFailFromFailQ"},
  };
  for (const auto& f : kFailFrames) {
    QGroupBox* frame = MakeFrame(form, f.name, f.caption, TwipRect(f.left, 1200, 4815, 975));
    controls_[f.frame] = frame;
    MakeLabel(frame, "lblMoveSuccess", QStringLiteral("Move Success: "), QRect(12, 26, 90, 20));
    controls_[f.success] = MakeCounter(frame, f.success_name, QRect(102, 26, 60, 20), true);
    MakeLabel(frame, "lblMoveFail", QStringLiteral("Move Failed:"), QRect(170, 26, 80, 20));
    controls_[f.failed] = MakeCounter(frame, f.failed_name, QRect(250, 26, 60, 20), true);
  }

  QGroupBox* log = MakeFrame(form, "fmeActionLog", "Action Log", TwipRect(120, 2280, 9735, 3375));
  list_ = new QListWidget(log);
  list_->setObjectName(QStringLiteral("lstActionLog"));
  list_->setGeometry(QRect(8, 18, Px(9495), Px(2985)));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list_->viewport()->installEventFilter(form);

  // The progress frame lies over the middle of the list.
  const QRect over_list((list_->width() - Px(4695)) / 2 + list_->x(),
                        (list_->height() - Px(2775)) / 2 + list_->y(), Px(4695), Px(2775));
  QGroupBox* progress_frame =
      MakeFrame(log, "frmProgressBar", "Queuing unticketed PNRs", over_list);
  // Opaque with a border of its own, so it stands out from the list lines below it.
  progress_frame->setStyleSheet(QStringLiteral(
      "QGroupBox#frmProgressBar { background-color: palette(window); border: 1px solid #707070;"
      " margin-top: 0px; padding-top: 20px; font-weight: bold; }"
      "QGroupBox#frmProgressBar::title { subcontrol-origin: padding; subcontrol-position: top"
      " center; top: 5px; }"));
  controls_[Control::kFrmProgressBar] = progress_frame;
  progress_ = new QProgressBar(progress_frame);
  progress_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_->setGeometry(QRect(16, 40, over_list.width() - 32, 22));
  progress_->setRange(0, progress_max_);
  progress_->setValue(0);
  controls_[Control::kLabel6] =
      MakeLabel(progress_frame, "Label6", QString(), QRect(16, 72, over_list.width() - 32, 48),
                Qt::AlignCenter);
  static_cast<QLabel*>(controls_[Control::kLabel6])->setWordWrap(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), progress_frame);
  cancel->setObjectName(QStringLiteral("cmdCancel"));
  cancel->setGeometry(QRect((over_list.width() - 90) / 2, 134, 90, 28));
  QObject::connect(cancel, &QPushButton::clicked, form, [this] {
    if (handler_ != nullptr) handler_->OnCancelClick(false);
  });
  progress_frame->hide();

  const int version_top = Px(2280 + 3375) + 2;
  MakeLabel(form, "lblVersion", FromCp1252(kVersionCaption),
            QRect(Px(120), version_top, Px(9735), form->height() - version_top - 2),
            Qt::AlignRight | Qt::AlignVCenter);
}

void QtWindow::Show() { form_->show(); }

void QtWindow::CloseForReal() {
  closing_for_real_ = true;
  form_->close();  // inside a close request this is refused; OnCloseEvent accepts it then
}

QWidget* QtWindow::widget() { return form_.get(); }

void QtWindow::OnCloseEvent(bool* accept) {
  if (!closing_for_real_ && handler_ != nullptr) handler_->OnCloseRequest();
  *accept = closing_for_real_;
}

QWidget* QtWindow::ControlWidget(Control control) const {
  const auto it = controls_.find(control);
  return it == controls_.end() ? nullptr : it->second;
}

void QtWindow::SetCaption(Control control, std::string_view text) {
  QWidget* w = ControlWidget(control);
  if (auto* label = qobject_cast<QLabel*>(w)) label->setText(FromCp1252(text));
  if (auto* frame = qobject_cast<QGroupBox*>(w)) frame->setTitle(FromCp1252(text));
}

void QtWindow::SetBackColour(Control control, uint32_t bgr) {
  QWidget* w = ControlWidget(control);
  if (w == nullptr) return;
  QPalette palette = w->palette();
  palette.setColor(QPalette::Window, FromBgr(bgr));
  w->setPalette(palette);
  w->setAutoFillBackground(true);
}

void QtWindow::SetBold(Control control, bool bold) {
  QWidget* w = ControlWidget(control);
  if (w == nullptr) return;
  QFont font = w->font();
  font.setBold(bold);
  w->setFont(font);
}

void QtWindow::SetVisible(Control control, bool visible) {
  if (QWidget* w = ControlWidget(control)) {
    w->setVisible(visible);
    if (visible) w->raise();
  }
}

void QtWindow::SetProgressMax(int max) {
  // A range of 0 to 0 would show Qt's busy animation instead of an empty bar.
  progress_max_ = std::max(max, 0);
  progress_->setRange(0, std::max(progress_max_, 1));
}

void QtWindow::SetProgressValue(int value) {
  // Qt ignores values outside the range; the bar shows the nearest end instead.
  progress_->setValue(std::clamp(value, 0, std::max(progress_max_, 1)));
}

int QtWindow::ListCount() { return list_->count(); }

void QtWindow::AddListLine(std::string_view line) {
  auto* item = new QListWidgetItem(OneRow(line));
  item->setData(Qt::UserRole, QByteArray(line.data(), static_cast<qsizetype>(line.size())));
  list_->addItem(item);
}

void QtWindow::RemoveListLine(int index) {
  if (index < 0 || index >= list_->count()) return;
  delete list_->takeItem(index);
}

void QtWindow::SelectListLine(int index) {
  if (index < 0 || index >= list_->count()) {
    list_->clearSelection();
    list_->setCurrentRow(-1);
    return;
  }
  list_->setCurrentRow(index);
  list_->scrollToItem(list_->item(index));
}

std::string QtWindow::SelectedListLine() {
  const QListWidgetItem* item = list_->currentItem();
  if (item == nullptr || !item->isSelected()) return "";
  return item->data(Qt::UserRole).toByteArray().toStdString();
}

BoxAnswer QtWindow::ShowMessageBox(std::string_view text, BoxButtons buttons, BoxIcon icon,
                                   std::string_view title) {
  QMessageBox box(form_.get());
  box.setWindowTitle(FromCp1252(title.empty() ? kProgramTitle : title));
  QString shown = FromCp1252(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  box.setTextFormat(Qt::PlainText);
  box.setText(shown);
  box.setIcon(icon == BoxIcon::kCritical      ? QMessageBox::Critical
              : icon == BoxIcon::kInformation ? QMessageBox::Information
                                              : QMessageBox::NoIcon);
  if (buttons == BoxButtons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);  // closing the box answers No
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  if (box_answerer_) {
    QTimer::singleShot(0, &box, [this, &box] {
      if (QAbstractButton* button = box.button(box_answerer_(box))) {
        button->click();
      } else {
        box.reject();
      }
    });
  }
  box.exec();
  const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
  if (buttons == BoxButtons::kOk) return BoxAnswer::kOk;
  return pressed == QMessageBox::Yes ? BoxAnswer::kYes : BoxAnswer::kNo;
}

void QtWindow::DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

QtEventLoop::QtEventLoop() {
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&timer_, &QTimer::timeout, [this] { OnTimeout(); });
}

void QtEventLoop::SetTimer(int interval_ms, std::function<void()> on_tick) {
  on_tick_ = std::move(on_tick);
  if (interval_ms <= 0 || !on_tick_) {
    timer_.stop();
    return;
  }
  timer_.start(interval_ms);
}

int QtEventLoop::Exec() {
  if (quit_requested_) return exit_code_;
  return QCoreApplication::exec();
}

void QtEventLoop::Quit(int exit_code) {
  quit_requested_ = true;
  exit_code_ = exit_code;
  QCoreApplication::exit(exit_code);
}

void QtEventLoop::OnTimeout() {
  if (in_tick_) return;  // the handler is letting events run; this tick is dropped
  struct Guard {
    bool& flag;
    ~Guard() { flag = false; }
  } guard{in_tick_};
  in_tick_ = true;
  const auto tick = on_tick_;  // the handler may replace or stop the timer
  tick();
}

}  // namespace ambervale

#include "controls/centered_message_box.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <optional>
#include <vector>

#include "util/error_trap.h"
#include "util/message_placement.h"
#include "util/message_seam.h"
#include "util/twips.h"
#include "util/ui_text.h"

namespace ampora {

namespace {

struct ButtonSpec {
  int16_t code;
  const char* text;
  QMessageBox::ButtonRole role;
};

std::vector<ButtonSpec> ButtonsFor(int32_t style) {
  const ButtonSpec ok{kIdOk, "OK", QMessageBox::AcceptRole};
  const ButtonSpec cancel{kIdCancel, UI_TEXT_NOOP("MessageBox", "キャンセル"),
                          QMessageBox::RejectRole};
  const ButtonSpec yes{kIdYes, UI_TEXT_NOOP("MessageBox", "はい(&Y)"), QMessageBox::YesRole};
  const ButtonSpec no{kIdNo, UI_TEXT_NOOP("MessageBox", "いいえ(&N)"), QMessageBox::NoRole};
  const ButtonSpec retry{kIdRetry, UI_TEXT_NOOP("MessageBox", "再試行(&R)"),
                         QMessageBox::AcceptRole};
  switch (style & kMbButtonsMask) {
    case kMbOkCancel:
      return {ok, cancel};
    case kMbAbortRetryIgnore:
      return {{kIdAbort, UI_TEXT_NOOP("MessageBox", "中止(&A)"), QMessageBox::RejectRole},
              retry,
              {kIdIgnore, UI_TEXT_NOOP("MessageBox", "無視(&I)"), QMessageBox::ActionRole}};
    case kMbYesNoCancel:
      return {yes, no, cancel};
    case kMbYesNo:
      return {yes, no};
    case kMbRetryCancel:
      return {retry, cancel};
    default:
      return {ok};
  }
}

QMessageBox::Icon IconFor(int32_t style) {
  switch (style & kMbIconMask) {
    case kMbIconError:
      return QMessageBox::Critical;
    case kMbIconQuestion:
      return QMessageBox::Question;
    case kMbIconWarning:
      return QMessageBox::Warning;
    case kMbIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

std::size_t DefaultButtonIndex(int32_t style, std::size_t count) {
  std::size_t index = 0;
  if ((style & kMbDefaultButtonMask) == kMbDefaultButton2) index = 1;
  if ((style & kMbDefaultButtonMask) == kMbDefaultButton3) index = 2;
  return index < count ? index : 0;
}

// Moves itself to the computed place when it first shows, after the box has laid
// itself out and before the window appears.
class CenteredMessageBox : public QMessageBox {
 public:
  CenteredMessageBox(QWidget* owner, std::optional<PixelPoint> centre)
      : QMessageBox(owner), centre_(centre) {}

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    if (!centre_) return;
    const PixelPoint centre = *centre_;
    centre_.reset();
    const QRect area = screen()->geometry();
    TrapErrors([&] {
      const PixelPoint place =
          PlaceMessageBox(centre, width(), height(),
                          {area.x(), area.y(), area.width(), area.height()}, TwipsPerPixel);
      move(place.x, place.y);
    });
  }

 private:
  std::optional<PixelPoint> centre_;
};

std::optional<PixelPoint> CentreOver(const QWidget* owner) {
  if (owner == nullptr) return std::nullopt;
  const QWidget* window = owner->window();
  const QRect frame = window->frameGeometry();
  return MessageBoxCentre({TwipsFromPixels(frame.x()), TwipsFromPixels(frame.y()),
                           TwipsFromPixels(frame.width()), TwipsFromPixels(frame.height())},
                          window->isMinimized(), TwipsPerPixel);
}

}  // namespace

int16_t ShowMessageCentered(const std::string& text, int32_t style, const std::string& caption,
                            QWidget* owner) {
  int16_t result = 0;
  TrapErrors([&] {
    // A placement that cannot be computed must not cost the message: it then opens
    // where the window system puts it.
    std::optional<PixelPoint> centre;
    TrapErrors([&] { centre = CentreOver(owner); });

    CenteredMessageBox box(owner, centre);
    box.setWindowTitle(QString::fromUtf8(caption));
    box.setText(QString::fromUtf8(text));
    box.setIcon(IconFor(style));
    const std::vector<ButtonSpec> choices = ButtonsFor(style);
    std::vector<QPushButton*> buttons;
    for (const ButtonSpec& choice : choices) {
      buttons.push_back(
          box.addButton(QString::fromStdString(UiText("MessageBox", choice.text)), choice.role));
    }
    box.setDefaultButton(buttons[DefaultButtonIndex(style, buttons.size())]);
    box.exec();

    // Closed without a button: Cancel where there is one, else the first button.
    const bool hasCancel =
        std::any_of(choices.begin(), choices.end(),
                    [](const ButtonSpec& choice) { return choice.code == kIdCancel; });
    result = hasCancel ? kIdCancel : choices.front().code;
    for (std::size_t i = 0; i < choices.size(); ++i) {
      if (box.clickedButton() == buttons[i]) result = choices[i].code;
    }
  });
  return result;
}

}  // namespace ampora

// Draws every surface design and every self-drawn control in its states into one picture,
// for a look by eye: ampora-gallery [picture.png]. It runs without a display
// (QT_QPA_PLATFORM=offscreen); scripts/gallery builds and runs it.

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <cstdio>

#include "controls/button_bar.h"
#include "controls/check_box.h"
#include "controls/color_scheme.h"
#include "controls/fader.h"
#include "controls/icon_strip.h"
#include "controls/io_selector.h"
#include "controls/paint_surface.h"
#include "controls/painted_window.h"
#include "controls/print_label.h"
#include "controls/shaded_outlines.h"
#include "controls/text_picture.h"
#include "controls/twips_geometry.h"
#include "controls/ui_fonts.h"
#include "util/twips.h"

namespace ampora {
namespace {

class Gallery {
 public:
  Gallery() : sheet_(980, 1500, QImage::Format_RGB32), painter_(&sheet_) {
    sheet_.fill(QColor(236, 236, 236));
    font_ = QFont(QString::fromStdString(UiFaceName));
    font_.setPixelSize(12);
    painter_.setFont(font_);
  }

  const QFont& Font() const { return font_; }

  void Heading(int x, int y, const std::string& text) {
    QFont bold = font_;
    bold.setBold(true);
    painter_.setFont(bold);
    painter_.setPen(Qt::black);
    painter_.drawText(x, y, QString::fromStdString(text));
    painter_.setFont(font_);
  }

  // The image with a caption under it.
  void Place(int x, int y, const QImage& image, const std::string& caption) {
    painter_.drawImage(x, y, image);
    painter_.setPen(QColor(40, 40, 40));
    painter_.drawText(x, y + image.height() + 13, QString::fromStdString(caption));
  }

  void PlaceScaled(int x, int y, const QImage& image, int factor, const std::string& caption) {
    Place(x, y, image.scaled(image.size() * factor), caption);
  }

  bool Save(const std::string& path) {
    painter_.end();
    return sheet_.save(QString::fromStdString(path));
  }

 private:
  QImage sheet_;
  QPainter painter_;
  QFont font_;
};

QImage Style(int32_t style, int32_t width, int32_t height, Color c1 = -1, Color c2 = -1,
             Color c3 = -1) {
  Surface s(width, height);
  s.SetBackColor(Rgb(128, 144, 160));
  PaintSurface(s, style, c1, c2, c3);
  return s.Image();
}

QImage Bar(UC_Buttons& bar) {
  return bar.Picture().Image();
}

void DrawDesignsBarsAndSelectors(Gallery& g) {
  g.Heading(10, 18, "描画スタイル (PaintSurface -2..15)");
  const char* names[] = {"-2 塗りつぶし",
                         "-1 枠のみ",
                         "0 帯グラデーション",
                         "1 ベベル",
                         "2 斜めグラデーション",
                         "3 横グラデーション",
                         "4 横 (逆)",
                         "5 縦ミラー",
                         "6 横ミラー",
                         "7 縦ミラー+枠",
                         "8 横ミラー+枠",
                         "9 ノブ",
                         "10 細い帯",
                         "11 ベベル+枠",
                         "12 ピロー",
                         "13 円形ノブ",
                         "14 テクスチャ",
                         "15 テクスチャ濃淡"};
  for (int32_t style = -2; style <= 15; ++style) {
    const int index = style + 2;
    const int x = 10 + (index % 6) * 160;
    const int y = 28 + (index / 6) * 78;
    QImage image;
    switch (style) {
      case 2:
        image = Style(2, 150, 48, Rgb(200, 200, 220), Rgb(80, 80, 110));
        break;
      case 3:
      case 4:
        image = Style(style, 150, 48, -1, Rgb(230, 230, 230), Rgb(90, 90, 120));
        break;
      case 9:
        image = Style(9, 60, 20);
        break;
      case 13:
        image = Style(13, 48, 48);
        break;
      default:
        image = Style(style, 150, 48);
        break;
    }
    g.Place(x, y, image, names[index]);
  }

  g.Heading(10, 270, "枠付きパネル・輪郭・配色");
  Surface framed(150, 40);
  PaintFramed(framed, Rgb(0, 0, 0), Rgb(104, 104, 136), 0, 2);
  framed.SetFont(g.Font());
  framed.SetForeColor(Rgb(176, 176, 208));
  framed.SetPrintPosition(40 * 15, 12 * 15);
  framed.Print("値 100 ms");
  g.Place(10, 280, framed.Image(), "PaintFramed");
  Surface sunken(150, 40);
  sunken.SetBackColor(kColorBtnFace);
  sunken.DrawSunkenEdge(0, 0, 150, 40);
  g.Place(170, 280, sunken.Image(), "くぼんだ縁");
  Surface rings(150, 40);
  rings.SetBackColor(Rgb(200, 200, 200));
  DrawCurvedRing(rings, 4, 4, 70, 36, Rgb(255, 255, 255), Rgb(40, 40, 40), 2);
  DrawShadedCircle(rings, 80, 2, 116, 38, Rgb(255, 255, 255), Rgb(40, 40, 40), 2, 0);
  DrawShadedCircle(rings, 112, 2, 148, 38, Rgb(255, 0, 0), Rgb(0, 0, 255), 1, 1);
  g.Place(330, 280, rings.Image(), "DrawCurvedRing / DrawShadedCircle");
  for (int32_t scheme = 0; scheme <= 6; ++scheme) {
    Surface s(60, 22);
    s.SetFont(g.Font());
    SetColorScheme(s, scheme);
    s.SetPrintPosition(4 * 15, 4 * 15);
    s.Print("配色" + std::to_string(scheme));
    g.Place(490 + (scheme % 4) * 66, 280 + (scheme / 4) * 40, s.Image(), "");
  }

  g.Heading(10, 380, "ボタンバー (UC_Buttons)");
  UC_Buttons transport;
  transport.resize(300, 24);
  transport.SetNumButtons(4);
  const char* captions[] = {"Start", "Bypass", "Tuner", "Store"};
  for (int i = 0; i < 4; ++i) transport.SetButtonChar(i, captions[i]);
  transport.Init();
  g.Place(10, 390, Bar(transport), "デザイン0: 通常");
  transport.SetSelectedButton(0);
  transport.DrawButton(1, 1);
  transport.DrawButton(2, 2);
  transport.SetButtonDisable(3, 1, 1);
  g.Place(330, 390, Bar(transport), "選択 / 押下 / 強調 / 無効");

  for (int32_t design = 1; design <= 3; ++design) {
    UC_Buttons bar;
    bar.resize(300, design == 2 ? 40 : 26);
    bar.SetNumButtons(3);
    bar.SetButtonChar(0, "再生");
    bar.SetButtonChar(1, "停止");
    bar.SetButtonChar(2, "録音");
    bar.SetDesignType(design);
    bar.Init();
    bar.SetSelectedButton(1);
    g.Place(10 + (design - 1) * 320, 440, Bar(bar),
            "デザイン" + std::to_string(design) + " (中央は選択)");
  }

  UC_Buttons embossed;
  embossed.resize(240, 24);
  embossed.SetNumButtons(3);
  embossed.SetButtonCharNum();
  embossed.SetDisable3D(0);
  embossed.Init();
  embossed.SetButtonDisable(2, 1, 1);
  g.Place(10, 510, Bar(embossed), "立体文字 (3は無効)");
  UC_Buttons okCancel;
  okCancel.SetOKCancel();
  okCancel.DrawButton(1, 2);
  g.Place(270, 510, Bar(okCancel), "SetOKCancel (OKを強調)");
  UC_Buttons close;
  close.resize(90, 24);
  close.SetButtonChar(0, "Close");
  close.Init();
  g.Place(450, 510, Bar(close), "閉じるボタン");

  const std::pair<std::function<void(UC_Buttons&)>, const char*> presets[] = {
      {[](UC_Buttons& b) { b.SetButtonsEditorPlay(); }, "EditorPlay"},
      {[](UC_Buttons& b) { b.SetButtonsPCXplay(); }, "PCXplay"},
      {[](UC_Buttons& b) { b.SetButtonsMCI(); }, "MCI"},
      {[](UC_Buttons& b) { b.SetButtonsEditorCtrl(); }, "EditorCtrl"}};
  for (int p = 0; p < 4; ++p) {
    UC_Buttons bar;
    presets[p].first(bar);
    bar.resize(bar.NumButtons() * 34 + 18, 26);
    bar.Init();
    const int x = 10 + p * 240;
    g.Place(x, 560, Bar(bar), std::string("アイコン ") + presets[p].second);
    for (int i = 0; i < bar.NumButtons(); ++i) bar.DrawButton(i, i == 0 ? 1 : 2);
    g.Place(x, 610, Bar(bar), "押下 / 強調 (代替アイコン)");
  }
  g.PlaceScaled(10, 662, BuildIconStrip(), 2, "アイコン帯 0..25 (上: 絵, 下: マスク), 2倍");

  g.Heading(10, 775, "入出力セレクタ (UC_IOSelector)");
  const char* effects[] = {"Limiter", "Reverb", "入力", "出力"};
  for (int32_t scheme = 0; scheme <= 1; ++scheme) {
    for (int32_t states = 0; states < 4; ++states) {
      UC_IOSelector selector;
      selector.resize(76, 44);
      selector.SetColorType(scheme);
      selector.Init();
      selector.SetText(0, effects[(states % 2) * 2]);
      selector.SetText(1, effects[(states % 2) * 2 + 1]);
      selector.SetState(0, states & 1);
      selector.SetState(1, (states >> 1) & 1);
      selector.DrawAll();
      const std::string caption = "配色" + std::to_string(scheme) + " 上" +
                                  ((states & 1) ? "オン" : "オフ") + " 下" +
                                  ((states & 2) ? "オン" : "オフ");
      g.Place(10 + states * 120 + scheme * 480, 785, selector.Picture().Image(), caption);
    }
  }
  UC_IOSelector empty;
  empty.resize(76, 44);
  empty.Init();
  empty.SetText(1, "下だけ");
  empty.DrawAll();
  g.Place(10, 855, empty.Picture().Image(), "上は空の文字");
}

// The level faders' knob pictures, painted as the main window paints its own.
struct Knobs {
  Knobs() : a(14, 10), b(29, 10) {
    PaintSurface(a, 9);
    PaintSurface(b, 9);
  }
  Surface a;
  Surface b;
};

void SetUpFader(UC_Fader& fader, const Knobs& knobs, int32_t heightPx = 171) {
  fader.resize(34, heightPx);
  fader.SetKnobPicA(&knobs.a);
  fader.SetKnobPicB(&knobs.b);
  fader.SetMax(50);
  fader.SetMin(-50);
}

void DrawFaders(Gallery& g) {
  g.Heading(10, 925, "フェーダー (UC_Fader)");
  const Knobs knobs;
  const int y = 935;
  const int step = 110;

  UC_Fader linked;
  SetUpFader(linked, knobs);
  linked.Init();
  linked.SetLinked(1);
  linked.SetValueL(0);
  g.Place(10, y, linked.Picture().Image(), "連動 0");

  UC_Fader split;
  SetUpFader(split, knobs);
  split.Init();
  split.SetValueL(20);
  split.SetValueR(-30);
  g.Place(10 + step, y, split.Picture().Image(), "分割 L20 R-30");

  UC_Fader labelled;
  SetUpFader(labelled, knobs);
  labelled.SetShowLR(1);
  labelled.Init();
  labelled.SetValueL(50);
  labelled.SetValueR(-50);
  g.Place(10 + 2 * step, y, labelled.Picture().Image(), "L/R表示 上下端");

  UC_Fader input;
  SetUpFader(input, knobs);
  input.SetLinkDisabled(1);
  input.Init();
  input.SetValueL(-50);
  g.Place(10 + 3 * step, y, input.Picture().Image(), "入力 (連動固定)");

  UC_Fader own;
  own.resize(34, 171);
  own.SetFaderType(1);
  own.SetPointerSize(12 * 15);
  own.Init(1, 9);
  own.LockLinked();
  own.SetValueL(750);
  g.Place(10 + 4 * step, y, own.Picture().Image(), "自前ノブ 750/1000");

  UC_Fader styled;
  styled.resize(34, 171);
  styled.SetMax(50);
  styled.SetMin(-50);
  styled.SetPointerSize(16 * 15);
  styled.Init(1, 7);
  styled.SetValueL(10);
  styled.SetValueR(40);
  g.Place(10 + 5 * step, y, styled.Picture().Image(), "ノブ様式7 分割");

  UC_Fader wide;
  SetUpFader(wide, knobs, 171);
  wide.resize(60, 171);
  wide.Init(1, 13);
  wide.SetValueL(-20);
  wide.SetValueR(25);
  g.PlaceScaled(10 + 6 * step, y, wide.Picture().Image(), 1, "幅60 ノブ様式13");
}

// The effect editor's value panel: 495 x 255 twips, one colour set, one centred text.
void SetUpValuePanel(UC_TextPicture& panel, int32_t set, const std::string& text) {
  panel.resize(33, 17);
  panel.AddStdColorSet(set);
  panel.AddTextSpace();
  panel.Init();
  panel.DispMes(0, text);
}

void DrawTextPanels(Gallery& g) {
  g.Heading(10, 1140, "テキストパネル (UC_TextPicture)");
  const int y = 1150;
  const char* values[] = {"100", "-15", "2.5k", "200", "0", "63"};
  for (int32_t set = 0; set < 6; ++set) {
    UC_TextPicture panel;
    SetUpValuePanel(panel, set, values[set]);
    g.PlaceScaled(10 + set * 80, y, panel.Picture().Image(), 2, "色セット" + std::to_string(set));
  }
  UC_TextPicture lit;
  SetUpValuePanel(lit, 1, "100");
  lit.Draw(0);
  g.PlaceScaled(490, y, lit.Picture().Image(), 2, "押下中 (明るく)");
  UC_TextPicture cut;
  SetUpValuePanel(cut, 1, "1234567890");
  g.PlaceScaled(580, y, cut.Picture().Image(), 2, "長い文字は切る");

  UC_TextPicture plain;
  plain.resize(150, 26);
  plain.SetColorEx(Rgb(40, 40, 40), Rgb(250, 250, 240));
  plain.AddTextSpace(12, -1, 0, "", 90, -1);
  plain.AddTextSpace(9, 0, -1, "", 1200, -1);
  plain.Init();
  plain.DispMes(0, "音量");
  plain.DispMes(1, "-3dB");
  g.Place(680, y, plain.Picture().Image(), "デザイン0: くぼみ, 二つの文字");
  UC_TextPicture flat;
  flat.resize(150, 26);
  flat.SetColor(6);
  flat.SetIsFlat(1);
  flat.AddTextSpace();
  flat.Init();
  flat.DispMes(0, "フラット 配色6");
  g.Place(680, y + 50, flat.Picture().Image(), "デザイン0: フラット");
}

// A dialog-like window built from the pieces: a painted background with printed labels,
// check boxes that copy it, a fader, a value panel and two text boxes in colour scheme 1.
class SampleWindow : public PaintedWindow {
 protected:
  void PaintBackground() override {
    Surface& background = Background();
    PaintSurface(background, 14);
    background.SetForeColor(Rgb(40, 40, 40));
    for (const QWidget* child : findChildren<QWidget*>()) {
      const QString label = child->property("label").toString();
      if (!label.isEmpty()) PrintLabel(background, *child, label.toStdString(), 3);
    }
  }
};

void DrawWindow(Gallery& g) {
  g.Heading(10, 1250, "チェックボックスとウィンドウ部品 (UC_Check, PaintedWindow)");
  SampleWindow window;
  window.resize(520, 215);
  ApplyUiFont(&window, -2);
  struct CheckSpec {
    const char* caption;
    int32_t value;
    int32_t isOption;
    bool enabled;
    float sizeRate;
  };
  const CheckSpec checks[] = {
      {"MIDIを使用する", 1, 0, true, 1},      {"未チェック", 0, 0, true, 1},
      {"値2 (印なし)", 2, 0, true, 1},        {"無効 (チェック済み)", 1, 0, false, 1},
      {"オプション オン", 1, 1, true, 1},     {"オプション オフ", 0, 1, true, 1},
      {"大きい箱 (1.5倍)", 1, 0, true, 1.5f},
  };
  std::vector<UC_Check*> boxes;
  for (size_t i = 0; i < std::size(checks); ++i) {
    auto* check = new UC_Check(&window);
    MoveTwips(*check, 300, 300 + 375 * static_cast<double>(i), 1500, 255);
    check->SetBGPic(TwipsLeft(*check), TwipsTop(*check), &window.Background());
    check->SetFontSize(9);
    check->SetSizeRate(checks[i].sizeRate);
    check->SetCaption(checks[i].caption);
    check->SetValue(checks[i].value);
    check->SetIsOption(checks[i].isOption);
    check->SetEnabled(checks[i].enabled);
    boxes.push_back(check);
  }
  const Knobs knobs;
  auto* fader = new UC_Fader(&window);
  SetUpFader(*fader, knobs, 120);
  MoveTwips(*fader, 4200, 600, 510, 1800);
  fader->setProperty("label", "レベル");
  fader->Init();
  fader->SetLinked(1);
  fader->SetValueL(25);
  auto* panel = new UC_TextPicture(&window);
  MoveTwips(*panel, 4200, 2475, 495, 255);
  SetUpValuePanel(*panel, 1, "25");
  auto* number = new QLineEdit("01", &window);
  MoveTwips(*number, 5100, 600, 375, 270);
  SetColorScheme(*number, 1);
  number->setProperty("label", "番号");
  auto* name = new QLineEdit("クリーン", &window);
  MoveTwips(*name, 5100, 1275, 2400, 270);
  SetColorScheme(*name, 1);
  name->setProperty("label", "バンク名");
  ApplyUiFont(number, -2);
  ApplyUiFont(name, -2);
  window.RepaintBackground();
  g.Place(10, 1260, window.grab().toImage(), "描画済み背景 (様式14) の上の部品");
}

}  // namespace
}  // namespace ampora

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The gallery is drawn at the standard screen factor, whatever the display says.
  ampora::TwipsPerPixel = 15;
  ampora::ChooseUiFace();
  ampora::Gallery gallery;
  ampora::DrawDesignsBarsAndSelectors(gallery);
  ampora::DrawFaders(gallery);
  ampora::DrawTextPanels(gallery);
  ampora::DrawWindow(gallery);
  const std::string path = argc > 1 ? argv[1] : "controls_gallery.png";
  if (!gallery.Save(path)) {
    std::fprintf(stderr, "ampora-gallery: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}

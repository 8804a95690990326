// Renders every surface design and both self-drawn controls in their states into one
// picture, controls_gallery.png in the build folder, for a look by eye.

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <functional>
#include <string>
#include <utility>

#include "controls/button_bar.h"
#include "controls/color_scheme.h"
#include "controls/icon_strip.h"
#include "controls/io_selector.h"
#include "controls/paint_surface.h"
#include "controls/shaded_outlines.h"
#include "controls/ui_fonts.h"

namespace ampora {
namespace {

class Gallery {
 public:
  Gallery() : sheet_(980, 1040, QImage::Format_RGB32), painter_(&sheet_) {
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

TEST(Gallery, WritesEveryDesignAndBothControls) {
  ChooseUiFace();
  Gallery g;
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

  const std::string path = std::string(AMPORA_GALLERY_DIR) + "/controls_gallery.png";
  EXPECT_TRUE(g.Save(path)) << path;
}

}  // namespace
}  // namespace ampora

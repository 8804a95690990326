#include "controls/ui_fonts.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QWidget>
#include <algorithm>

#include "controls/picture_box.h"
#include "util/twips.h"

namespace ampora {
namespace {

class UiFontsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseUiFonts();
    UiFaceName.clear();
  }
  void TearDown() override {
    ReleaseUiFonts();
    UiFaceName.clear();
    TwipsPerPixel = 15;
  }
};

TEST_F(UiFontsTest, FaceIsTheFirstInstalledCandidate) {
  ChooseUiFaceFrom({"IPAPGothic", "MS UI Gothic", "メイリオ", "Arial"});
  EXPECT_EQ(UiFaceName, "メイリオ");
  ChooseUiFaceFrom({"IPAPGothic", "Noto Sans CJK JP", "ＭＳ Ｐゴシック"});
  EXPECT_EQ(UiFaceName, "ＭＳ Ｐゴシック") << "the designed faces come before the Linux ones";
  ChooseUiFaceFrom({"VL PGothic", "IPAPGothic", "Noto Sans CJK JP"});
  EXPECT_EQ(UiFaceName, "Noto Sans CJK JP");
  ChooseUiFaceFrom({"DejaVu Sans", "ipapgothic"});
  EXPECT_EQ(UiFaceName, kFallbackUiFace) << "names compare exactly, case included";
  ChooseUiFaceFrom({});
  EXPECT_EQ(UiFaceName, kFallbackUiFace);
  ChooseUiFaceFrom({std::string("VL PGothic\0junk", 15)});
  EXPECT_EQ(UiFaceName, "VL PGothic") << "names end at their first NUL";
}

TEST_F(UiFontsTest, InstalledJapaneseFaceIsFound) {
  ChooseUiFace();
  const auto& candidates = UiFaceCandidates();
  EXPECT_NE(std::find(candidates.begin() + 3, candidates.end(), UiFaceName), candidates.end())
      << "the install script provides a Japanese face; chosen: " << UiFaceName;
}

TEST_F(UiFontsTest, RequestHasTheCellHeightWeightAndCharacterSet) {
  const UiFontRequest plain = MakeUiFontRequest(9, 0, 0, "IPAPGothic");
  EXPECT_EQ(plain.height, 12);
  EXPECT_EQ(plain.weight, 0);
  EXPECT_EQ(plain.italic, 0);
  EXPECT_EQ(plain.charSet, 128);
  EXPECT_EQ(MakeUiFontRequest(9, 0, 0, "メイリオ").height, 16);
  const UiFontRequest strong = MakeUiFontRequest(9, -1, -1, "Impact");
  EXPECT_EQ(strong.weight, 700);
  EXPECT_EQ(strong.italic, 1);
  EXPECT_EQ(strong.charSet, 0);
  EXPECT_EQ(MakeUiFontRequest(9, 1, 1, "X").weight, 0) << "only -1 means bold";
  TwipsPerPixel = 12;
  EXPECT_EQ(MakeUiFontRequest(9, -1, 0, "X").weight, 875);
  EXPECT_EQ(MakeUiFontRequest(9, -1, 0, "X").height, 15);
}

TEST_F(UiFontsTest, FaceFieldHoldsThirtyTwoBytesOfWholeCharacters) {
  const std::string twenty = "日本語日本語日本語日本語日本語日本語日本";
  EXPECT_EQ(MakeUiFontRequest(9, 0, 0, twenty).faceName, "日本語日本語日本語日本語日本語日");
  EXPECT_EQ(MakeUiFontRequest(9, 0, 0, "A" + twenty).faceName, "A日本語日本語日本語日本語日本語")
      << "a double-byte character that would straddle byte 32 is left out";
  const std::string ascii(40, 'a');
  EXPECT_EQ(MakeUiFontRequest(9, 0, 0, ascii).faceName, std::string(32, 'a'));
}

TEST_F(UiFontsTest, CreatedFontsHaveTheRequestedCellHeight) {
  ASSERT_EQ(CreateUiFont(9, 0, 0, "IPAPGothic"), 1);
  ASSERT_EQ(CreateUiFont(9, -1, -1, "IPAPGothic"), 1);
  const UiFontRecord& plain = UiFontCache()[0];
  const QFontMetricsF metrics(plain.font);
  EXPECT_NEAR(metrics.ascent() + metrics.descent(), 12, 1);
  EXPECT_FALSE(plain.font.bold());
  EXPECT_TRUE(UiFontCache()[1].font.bold());
  EXPECT_TRUE(UiFontCache()[1].font.italic());
  EXPECT_EQ(plain.lineRate, 1.0f);
  ASSERT_EQ(CreateUiFont(9, 0, 0, "メイリオ"), 1);
  EXPECT_FLOAT_EQ(UiFontCache()[2].lineRate, 1 / 1.34f);
  EXPECT_EQ(UiFontCache()[2].face, "メイリオ") << "cached by the name asked for";
  TwipsPerPixel = 0;
  EXPECT_EQ(CreateUiFont(9, 0, 0, "IPAPGothic"), 0);
  EXPECT_EQ(UiFontCache().size(), 3u);
}

TEST_F(UiFontsTest, FindOrCreateReusesEqualAttributes) {
  Surface surface(10, 10);
  EXPECT_EQ(ApplyUiFont(&surface, -2), 0);
  EXPECT_EQ(ApplyUiFont(&surface, -2, {}, 0, 0, 0, ""), 0);
  EXPECT_EQ(UiFontCache().size(), 1u);
  EXPECT_EQ(UiFaceName, kFallbackUiFace) << "an unchosen face falls back at the first request";
  EXPECT_EQ(surface.Font(), UiFontCache()[0].font);

  EXPECT_EQ(ApplyUiFont(&surface, -2, {}, 9.5f, 0, 0, "IPAPGothic"), 1);
  EXPECT_EQ(ApplyUiFont(&surface, -2, {}, 9.0f, 0, 0, "IPAPGothic"), 2);
  EXPECT_EQ(ApplyUiFont(&surface, -2, {}, 9.5f, 0, 0, "IPAPGothic"), 1);
  EXPECT_EQ(ApplyUiFont(&surface, -2, {}, 9.5f, -1, 0, "IPAPGothic"), 3);
  EXPECT_EQ(UiFontCache().size(), 4u);
  EXPECT_EQ(surface.Font(), UiFontCache()[3].font);

  QWidget window;
  EXPECT_EQ(ApplyUiFont(&window, 1), 1);
  EXPECT_EQ(window.font(), UiFontCache()[1].font);
}

TEST_F(UiFontsTest, APictureWidgetPrintsInTheFontItIsGiven) {
  PictureBox picture;
  EXPECT_EQ(ApplyUiFont(&picture, -2, {}, 15, -1), 1);
  EXPECT_EQ(picture.font(), UiFontCache()[1].font);
  EXPECT_EQ(picture.Picture().Font(), picture.font());
}

TEST_F(UiFontsTest, MinusOneTakesTheSourcesFontAndGivesItToTheSource) {
  Surface source(10, 10);
  Surface other(10, 10);
  ASSERT_EQ(ApplyUiFont(&source, -2, {}, 11, -1, 0, "IPAPGothic"), 1);
  const QFont before = other.Font();
  EXPECT_EQ(ApplyUiFont(&other, -1, &source), 1);
  EXPECT_EQ(other.Font(), before) << "the window argument is replaced by the source";
  // A font the cache does not know is read back from the toolkit and cached.
  QFont foreign("DejaVu Sans");
  foreign.setPointSizeF(12);
  source.SetFont(foreign);
  EXPECT_EQ(ApplyUiFont(&other, -1, &source), 2);
  EXPECT_EQ(UiFontCache()[2].face, "DejaVu Sans");
  EXPECT_EQ(UiFontCache()[2].size, 12.0f);
  EXPECT_EQ(ApplyUiFont(&other, -1, static_cast<Surface*>(nullptr)), -3);
}

TEST_F(UiFontsTest, FailuresReturnMinusThreeAndReleaseRestartsTheIndices) {
  Surface surface(10, 10);
  EXPECT_EQ(ApplyUiFont(&surface, -3), -3);
  EXPECT_EQ(ApplyUiFont(&surface, 5), -3);
  EXPECT_EQ(ApplyUiFont(static_cast<Surface*>(nullptr), 0), -3);
  EXPECT_EQ(ApplyUiFont(&surface, -2, {}, 14), 1);
  ReleaseUiFonts();
  EXPECT_TRUE(UiFontCache().empty());
  EXPECT_EQ(ApplyUiFont(&surface, -2, {}, 14), 1) << "the default 9-point entry comes first again";
  ReleaseUiFonts();
  TwipsPerPixel = 0;
  EXPECT_EQ(ApplyUiFont(&surface, -2), -3);
  EXPECT_TRUE(UiFontCache().empty());
}

}  // namespace
}  // namespace ampora

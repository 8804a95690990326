#include "windows/version_info.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "util/computer_name.h"
#include "version.h"

namespace ampora {
namespace {

TEST(VersionInfo, TheVersionReadsWithTwoAndFourDigitParts) {
  const std::pair<const char*, const char*> cases[] = {
      {"1.4.0", "version: 1.04.0000"},   {"0.1.0", "version: 0.01.0000"},
      {"2.10.37", "version: 2.10.0037"}, {"12.345.67890", "version: 12.345.67890"},
      {"3", "version: 3.00.0000"},       {"1.x.2", "version: 1.00.0002"},
      {"", "version: 0.00.0000"},
  };
  for (const auto& [version, line] : cases) EXPECT_EQ(VersionLine(version), line) << version;
}

TEST(VersionInfo, TheBoxTellsMakerVersionDateAndComputer) {
  VersionFacts facts{"Ampora Audio", "ampora", "1.4.0", "2010/05/06 12:34:56", "studio-pc"};
  EXPECT_EQ(VersionInfoText(facts, ""),
            "Ampora Audio ampora\n\nversion: 1.04.0000\n2010/05/06 12:34:56更新版\n\n"
            "computer name: studio-pc");
  facts.fileDate.clear();
  EXPECT_EQ(VersionInfoText(facts, "デモ版"),
            "Ampora Audio ampora\n\nversion: 1.04.0000\n更新版\n\ncomputer name: studio-pc\nデモ版")
      << "a file date that cannot be read leaves the word alone";
}

TEST(VersionInfo, TheProgramsFactsComeFromTheBuildAndTheMachine) {
  const VersionFacts facts = ProgramVersionFacts();
  EXPECT_EQ(facts.company, kCompanyName);
  EXPECT_EQ(facts.version, kVersionText);
  EXPECT_EQ(facts.computerName, ComputerNameText());
  // The test program's own file, as "2024/01/31 12:34:56".
  ASSERT_EQ(facts.fileDate.size(), 19u) << facts.fileDate;
  EXPECT_EQ(facts.fileDate[4], '/');
  EXPECT_EQ(facts.fileDate[13], ':');
}

TEST(VersionInfo, TheBoxOpensWithItsCaptionAndAnInformationIcon) {
  QWidget owner;
  owner.show();
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    box->buttons().front()->click();
  });
  ShowVersionInfo(owner);
  EXPECT_EQ(title, QString::fromUtf8("バージョン情報"));
  EXPECT_EQ(icon, QMessageBox::Information);
  EXPECT_TRUE(text.contains(QString::fromStdString(VersionLine(kVersionText))))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QString::fromUtf8("更新版")));
}

}  // namespace
}  // namespace ampora

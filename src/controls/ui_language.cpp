#include "controls/ui_language.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>
#include <iostream>
#include <memory>

#include "settings/settings_store.h"
#include "util/folders.h"
#include "util/ui_text.h"

namespace ampora {

namespace {

constexpr char kLanguageKey[] = "Language";
constexpr char kEnglishFile[] = "ampora_en";

bool IsJapanese(const QString& name) {
  static const QRegularExpression separators(QStringLiteral("[-_.@]"));
  return name.section(separators, 0, 0).compare(QStringLiteral("ja"), Qt::CaseInsensitive) == 0;
}

std::unique_ptr<QTranslator>& Translator() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}

}  // namespace

UiLanguage ChooseUiLanguage(const std::string& setting, const QStringList& desktopLanguages) {
  const QString chosen = QString::fromStdString(setting).trimmed();
  const QString language = chosen.isEmpty() ? desktopLanguages.value(0) : chosen;
  return IsJapanese(language) ? UiLanguage::kJapanese : UiLanguage::kEnglish;
}

std::vector<std::string> TranslationFolders() {
  const std::string beside = AppFolder();
  if (beside.empty()) return {};
  return {beside + "translations/", beside + AMPORA_TRANSLATIONS_FROM_BIN "/"};
}

bool UseUiLanguage(UiLanguage language, const std::vector<std::string>& folders) {
  SetUiTextHook({});
  Translator().reset();
  if (language == UiLanguage::kJapanese) return true;
  auto translator = std::make_unique<QTranslator>();
  for (const std::string& folder : folders) {
    if (!translator->load(QString::fromLatin1(kEnglishFile), QString::fromStdString(folder))) {
      continue;
    }
    const QTranslator* english = translator.get();
    SetUiTextHook([english](const char* context, const char* source) {
      const QString text = english->translate(context, source);
      return text.isEmpty() ? std::string(source) : text.toStdString();
    });
    Translator() = std::move(translator);
    return true;
  }
  return false;
}

void ApplyUiLanguageSetting() {
  const std::string setting = ReadSetting(kLanguageKey, SettingValue::Text(""));
  const UiLanguage language = ChooseUiLanguage(setting, QLocale::system().uiLanguages());
  if (!UseUiLanguage(language, TranslationFolders())) {
    std::cerr << "ampora: the English translation (" << kEnglishFile
              << ".qm) is missing; the texts stay Japanese" << std::endl;
  }
}

}  // namespace ampora

#include "windows/reference_pitch_field.h"

#include <optional>

#include "audio/block_layout.h"
#include "controls/print_label.h"
#include "settings/setting_number.h"
#include "tuner/note_reading.h"
#include "windows/control_placement.h"

namespace ampora {

ReferencePitchField::ReferencePitchField(const QLineEdit& like, const QWidget& below)
    : box_(new QLineEdit(like.parentWidget())) {
  box_->resize(like.size());
  box_->setFont(like.font());
  PlaceControl(*box_, below, kPlaceBelow);
  QWidget::setTabOrder(const_cast<QLineEdit*>(&like), box_);
}

void ReferencePitchField::Show(float a4) {
  box_->setText(QString::number(static_cast<double>(a4), 'f', 1));
}

void ReferencePitchField::PrintLabels(Surface& background) const {
  PrintLabel(background, *box_, UiText("ConfigDialog", kReferencePitchLabel), 0);
  PrintLabel(background, *box_, kReferencePitchUnit, 2);
}

float ReferencePitchField::Typed(float a4) const {
  // Digits typed in full width, as a Japanese input method gives them, are the same digits.
  const QString text = box_->text().normalized(QString::NormalizationForm_KC);
  const std::optional<float> typed = ParseSettingNumber<float>(text.toStdString());
  return typed ? ClampSetting(*typed, kTunerA4Min, kTunerA4Max, a4) : a4;
}

}  // namespace ampora

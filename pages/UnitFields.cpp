#include "pages/UnitFields.h"
#include "toolkit/NumericEdit.h"

namespace {

constexpr int PercentDecimals = 2;

} // namespace

UnitFields::UnitFields(int pixelMinimum, int pixelMaximum, int percentMinimum, int percentMaximum)
    : pixelMinimum(pixelMinimum), pixelMaximum(pixelMaximum), percentMinimum(percentMinimum),
      percentMaximum(percentMaximum)
{
}

void UnitFields::add(NumericEdit& field, int pixels, const Decimal& percent)
{
    fields.push_back({&field, pixels, percent});
}

void UnitFields::show(bool percent)
{
    percentShown = percent;
    for (Field& field : fields) {
        if (percent) {
            field.edit->setRange(Decimal(percentMinimum), Decimal(percentMaximum), PercentDecimals);
            field.edit->setValue(field.percent);
        } else {
            field.edit->setRange(Decimal(pixelMinimum), Decimal(pixelMaximum), 0);
            field.edit->setValue(Decimal(field.pixels));
        }
    }
}

void UnitFields::switchTo(bool percent)
{
    if (percent == percentShown)
        return;
    keepShown();
    show(percent);
}

void UnitFields::keepShown()
{
    for (Field& field : fields) {
        if (percentShown)
            field.percent = field.edit->getValue();
        else
            field.pixels = field.edit->getValue().toIntRounded();
    }
}

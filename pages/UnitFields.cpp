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

void UnitFields::start(bool percent)
{
    fields.clear();
    percentShown = percent;
}

void UnitFields::add(HWND field, int pixels, const Decimal& percent)
{
    fields.push_back({field, pixels, percent});
    show(fields.back());
}

void UnitFields::show(const Field& field) const
{
    NumericEdit edit;
    edit.attach(field.edit);
    if (percentShown) {
        edit.setRange(Decimal(percentMinimum), Decimal(percentMaximum), PercentDecimals);
        edit.setValue(field.percent);
    } else {
        edit.setRange(Decimal(pixelMinimum), Decimal(pixelMaximum), 0);
        edit.setValue(Decimal(field.pixels));
    }
}

void UnitFields::switchTo(bool percent)
{
    if (percent == percentShown)
        return;
    keepShown();
    percentShown = percent;
    for (const Field& field : fields)
        show(field);
}

void UnitFields::keepShown()
{
    for (Field& field : fields) {
        NumericEdit edit;
        edit.attach(field.edit);
        if (percentShown)
            field.percent = edit.getValue();
        else
            field.pixels = edit.getValue().toIntRounded();
    }
}

const UnitFields::Field& UnitFields::of(HWND edit) const
{
    for (const Field& field : fields)
        if (field.edit == edit)
            return field;
    throw Exception(ErrorCode::InvalidArgument);
}

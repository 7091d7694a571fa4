#include "pages/PageExchange.h"
#include "foundation/wstringArray.h"
#include "pages/UnitFields.h"
#include "pages/pictureImageList.h"
#include "settings/ProgramResources.h"
#include "toolkit/ComboBox.h"
#include "toolkit/ComboBoxEx.h"
#include "toolkit/Edit.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Slider.h"

namespace {

// A control bound to its window for one step of the exchange.
template <class ControlType>
struct Bound : ControlType {
    explicit Bound(HWND window) { ControlType::attach(window); }
};

bool isTicked(HWND button)
{
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void tick(HWND button, bool ticked)
{
    SendMessageW(button, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

} // namespace

// ---- ExchangedControls ----

void ExchangedControls::release()
{
    watches.clear();
    colours.clear();
    // A list must not show images that are gone.
    for (Images& held : imageLists)
        if (IsWindow(held.list))
            SendMessageW(held.list, CBEM_SETIMAGELIST, 0, 0);
    imageLists.clear();
}

void ExchangedControls::watch(int id, int code, Action action)
{
    watches.push_back({id, code, std::move(action)});
}

bool ExchangedControls::changes(int id, int code) const
{
    bool changed = false;
    for (const Watch& watched : watches)
        if (watched.id == id && watched.code == code && (!watched.action || watched.action()))
            changed = true;
    return changed;
}

ColorChoice& ExchangedControls::addColour(int chooseId, HWND swatch)
{
    Colour& added = colours.emplace_back();
    added.chooseId = chooseId;
    added.swatch = swatch;
    return added.choice;
}

const ExchangedControls::Colour& ExchangedControls::colour(int chooseId) const
{
    for (const Colour& held : colours)
        if (held.chooseId == chooseId)
            return held;
    throw Exception(ErrorCode::InvalidArgument);
}

COLORREF ExchangedControls::colourOf(int chooseId) const
{
    return colour(chooseId).choice.colour();
}

HBRUSH ExchangedControls::brushOf(HWND control) const
{
    for (const Colour& held : colours)
        if (held.swatch && held.swatch == control)
            return held.choice.brush();
    return nullptr;
}

ImageList& ExchangedControls::addImages(HWND list)
{
    Images& added = imageLists.emplace_back();
    added.list = list;
    return added.images;
}

// ---- PageExchange ----

wstringArray& PageExchange::listItems(UINT itemsId, wstringArray& items)
{
    items.splitResourceString(programResourceModule(), itemsId, L"/");
    return items;
}

HWND PageExchange::item(int id) const
{
    HWND found = GetDlgItem(page, id);
    if (!found)
        throw Exception(ErrorCode::WindowGone);
    return found;
}

void PageExchange::watchClicks(int id)
{
    if (isFilling())
        controls.watch(id, BN_CLICKED);
}

void PageExchange::check(int id, bool& field)
{
    HWND box = item(id);
    watchClicks(id);
    if (isFilling())
        tick(box, field);
    else
        field = SendMessageW(box, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
}

void PageExchange::radio(std::initializer_list<int> ids, int& field, int fallback)
{
    int count = static_cast<int>(ids.size());
    int value = 0;
    if (isFilling()) {
        int shown = field >= 0 && field < count ? field : fallback;
        for (int id : ids) {
            watchClicks(id);
            tick(item(id), value++ == shown);
        }
        return;
    }
    for (int id : ids) {
        if (isTicked(item(id))) {
            field = value;
            return;
        }
        ++value;
    }
    if (fallback >= 0)
        field = fallback;
}

void PageExchange::radio(int offId, int onId, bool& field)
{
    int value = field ? 1 : 0;
    radio({offId, onId}, value);
    if (isApplying())
        field = value == 1;
}

void PageExchange::number(int id, int& field, int minimum, int maximum)
{
    Decimal value(field);
    number(id, value, Decimal(minimum), Decimal(maximum), 0);
    if (isApplying())
        field = value.toIntRounded();
}

void PageExchange::number(int id, Decimal& field, const Decimal& minimum, const Decimal& maximum, int decimals)
{
    Bound<NumericEdit> edit(item(id));
    if (isApplying()) {
        field = edit.getValue();
        return;
    }
    controls.watch(id, EN_CHANGE);
    edit.setRange(minimum, maximum, decimals);
    edit.setValue(field);
}

void PageExchange::angle(int id, Decimal& field, const wchar_t* limit)
{
    Decimal maximum(0);
    maximum.parse(limit);
    number(id, field, maximum.multiply(Decimal(-1)), maximum, 2);
}

void PageExchange::slider(int id, int& field)
{
    Bound<Slider> bar(item(id));
    if (isApplying()) {
        field = bar.getPos();
        return;
    }
    controls.watch(id, ExchangedControls::Scrolled);
    bar.setRange();
    bar.setPageSize();
    bar.setPos(field);
}

bool PageExchange::tookSelection(int id, int& field)
{
    HWND list = item(id);
    if (isFilling()) {
        controls.watch(id, CBN_SELCHANGE);
        return false;
    }
    field = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    return true;
}

void PageExchange::choice(int id, int& field, UINT itemsId)
{
    if (tookSelection(id, field))
        return;
    Bound<ComboBox> list(item(id));
    wstringArray items;
    list.addStrings(listItems(itemsId, items));
    list.setCurSel(field);
}

void PageExchange::pictureChoice(int id, int& field, UINT itemsId, const Dib* pictures, int count, int firstPictured)
{
    if (tookSelection(id, field))
        return;
    Bound<ComboBoxEx> list(item(id));
    ImageList& images = controls.addImages(list.getHandle());
    images.attach(makePictureImageList(pictures, count));
    list.setImageList(images.handle());
    wstringArray items;
    listItems(itemsId, items);
    for (int i = 0; i < items.count(); ++i)
        list.addItem(items.at(i), images.handle() && i >= firstPictured ? i - firstPictured : -1);
    list.setCurSel(field);
}

void PageExchange::colour(int chooseId, COLORREF& field, int swatchId)
{
    item(chooseId);
    if (isApplying()) {
        field = controls.colourOf(chooseId);
        return;
    }
    ColorChoice& choice = controls.addColour(chooseId, swatchId ? item(swatchId) : nullptr);
    choice.reset(page, field);
    HWND repainted = page;
    controls.watch(chooseId, BN_CLICKED, [&choice, repainted] {
        if (!choice.choose())
            return false;
        InvalidateRect(repainted, nullptr, TRUE);
        return true;
    });
}

void PageExchange::text(int id, wstring& field, int limit)
{
    Bound<Edit> edit(item(id));
    if (isApplying()) {
        field = edit.getText();
        return;
    }
    controls.watch(id, EN_CHANGE);
    if (limit)
        edit.limitText(limit);
    edit.setText(field);
}

void PageExchange::unit(UnitFields& fields, int pixelId, int percentId, int& field)
{
    if (isApplying())
        fields.keepShown();
    radio({pixelId, percentId}, field);
    if (isApplying())
        return;
    fields.start(field == 1);
    controls.watch(pixelId, BN_CLICKED, [&fields] {
        fields.switchTo(false);
        return true;
    });
    controls.watch(percentId, BN_CLICKED, [&fields] {
        fields.switchTo(true);
        return true;
    });
}

void PageExchange::size(UnitFields& fields, int id, int& pixels, Decimal& percent)
{
    HWND edit = item(id);
    if (isApplying()) {
        pixels = fields.pixels(edit);
        percent = fields.percent(edit);
        return;
    }
    controls.watch(id, EN_CHANGE);
    fields.add(edit, pixels, percent);
}

void PageExchange::button(int id, ExchangedControls::Action action)
{
    item(id);
    if (isFilling())
        controls.watch(id, BN_CLICKED, std::move(action));
}

void PageExchange::watch(int id, int code)
{
    item(id);
    if (isFilling())
        controls.watch(id, code);
}

#pragma once
#include <windows.h>
#include <functional>
#include <initializer_list>
#include <list>
#include <vector>
#include "foundation/Decimal.h"
#include "foundation/wstring.h"
#include "pages/ColorChoice.h"
#include "toolkit/ImageList.h"

class Dib;
class UnitFields;
class wstringArray;

// What a page's exchange leaves with the page window when it fills it: which notification of each control
// changes the page, what some of them do first (a chooser, a switch of unit), the colours with their swatches
// and the pictures of the drop-down lists.
class ExchangedControls {
public:
    // Runs before the page is marked changed; false when nothing changed after all (a chooser cancelled).
    using Action = std::function<bool()>;
    // The notification code of a slider's moves, which come as WM_HSCROLL rather than WM_COMMAND.
    static constexpr int Scrolled = 0x10000;

    ExchangedControls() = default;
    ExchangedControls(const ExchangedControls&) = delete;
    ExchangedControls& operator=(const ExchangedControls&) = delete;

    // Forgets all, freeing the brushes and the image lists (which their drop-down lists let go of first).
    void release();
    // The notification of the control changes the page; with an action, when the action says so.
    void watch(int id, int code, Action action = nullptr);
    // Runs the actions of the notification's watches; true when it changed the page.
    bool changes(int id, int code) const;
    // A colour chosen with the button, shown in the swatch (null: none).
    ColorChoice& addColour(int chooseId, HWND swatch);
    // The working colour of the chooser of that button; Exception 87 for another button.
    COLORREF colourOf(int chooseId) const;
    // The brush that paints the control as a swatch; null for a control that is none.
    HBRUSH brushOf(HWND control) const;
    // The holder of the image list that the extended drop-down list shows.
    ImageList& addImages(HWND list);

private:
    struct Watch {
        int id;
        int code;
        Action action;
    };
    struct Colour {
        int chooseId = 0;
        HWND swatch = nullptr;
        ColorChoice choice;
    };
    struct Images {
        HWND list = nullptr;
        ImageList images;
    };

    const Colour& colour(int chooseId) const;

    std::vector<Watch> watches;
    std::list<Colour> colours;
    std::list<Images> imageLists;
};

// One run of a page's exchange, which names each of the page's settings once with the control that edits
// it: filling (the record into the controls, when the sheet first shows the page, registering each control's
// change notification from its kind) or applying (the controls into the record, at OK or Apply). A missing
// control throws Exception 1400, a list item outside the list Exception 87.
//
//     void TiffFormatPage::exchange(PageExchange& x, AppSetting& s)
//     {
//         x.check(IDC_FORMAT_ENABLE, s.tiffEnable);
//         x.choice(IDC_TIFF_COMPRESSION, s.tiffCompression, IDS_TIFF_COMPRESSIONS);
//         x.colour(IDC_FORMAT_CHOOSE_COLOR, s.tiffTransparentColor, IDC_FORMAT_SWATCH);
//         x.number(IDC_TIFF_ALPHA, s.tiffAlpha, 0, 255);
//     }
class PageExchange {
public:
    enum Direction { Fill, Apply };

    PageExchange(HWND page, Direction direction, ExchangedControls& controls)
        : page(page), direction(direction), controls(controls)
    {
    }
    PageExchange(const PageExchange&) = delete;
    PageExchange& operator=(const PageExchange&) = delete;

    // The items of a string of the string table, separated by "/".
    static wstringArray& listItems(UINT itemsId, wstringArray& items);

    bool isFilling() const { return direction == Fill; }
    bool isApplying() const { return direction == Apply; }

    void check(int id, bool& field);
    // One radio button for each value from 0. A value without a button ticks the fallback's button, and
    // without a ticked button the field takes the fallback; a fallback of -1 ticks none and keeps the field.
    void radio(std::initializer_list<int> ids, int& field, int fallback = 0);
    void radio(int offId, int onId, bool& field);
    // Values outside the range are shown at its nearest end.
    void number(int id, int& field, int minimum, int maximum);
    void number(int id, Decimal& field, const Decimal& minimum, const Decimal& maximum, int decimals);
    // Degrees with two decimals from -limit to limit (the limit as the settings write numbers).
    void angle(int id, Decimal& field, const wchar_t* limit);
    // A slider over 1 to 100.
    void slider(int id, int& field);
    // A drop-down list of the items of a string of the string table, separated by "/"; the field is the
    // index of the selected item, -1 for none.
    void choice(int id, int& field, UINT itemsId);
    // The same in an extended drop-down list: item i shows picture i - firstPictured, the items before the
    // first picture none.
    void pictureChoice(int id, int& field, UINT itemsId, const Dib* pictures, int count, int firstPictured = 0);
    // The colour that the button's colour dialog chooses, shown in the swatch (0: none).
    void colour(int chooseId, COLORREF& field, int swatchId = 0);
    // A text of at most limit characters (0: as many as the edit takes).
    void text(int id, wstring& field, int limit = 0);
    // The unit of the sizes shown by two radio buttons (field 0 pixels, 1 percent), before the sizes.
    void unit(UnitFields& fields, int pixelId, int percentId, int& field);
    // A size in pixels and in percent, of which the field shows the unit's.
    void size(UnitFields& fields, int id, int& pixels, Decimal& percent);
    // A value that the page keeps itself rather than in a control.
    template <class T>
    void keep(T& held, T& field)
    {
        if (isFilling())
            held = field;
        else
            field = held;
    }
    // A push button of the page's own: the page is changed when its action returns true.
    void button(int id, ExchangedControls::Action action);
    // A notification of a control of the page's own that changes the page.
    void watch(int id, int code);

private:
    HWND item(int id) const;
    void watchClicks(int id);
    // Applying: the field takes the drop-down list's selection (true); filling: the list is watched.
    bool tookSelection(int id, int& field);

    HWND page;
    Direction direction;
    ExchangedControls& controls;
};

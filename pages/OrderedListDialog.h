#pragma once
#include <initializer_list>
#include <vector>
#include "foundation/wstring.h"
#include "toolkit/Button.h"
#include "toolkit/Dialog.h"
#include "toolkit/ListView.h"

// The base of the dialogs that edit an ordered list in a report list view (the plug-ins, the external
// viewers): buttons move the selected row up or down and delete it, the Delete key deletes it too. The list
// view is the working copy; the settings change only when a derived dialog stores the rows on OK.
class OrderedListDialog : public AppDialog {
public:
    // The row's texts, one per column.
    using Row = std::vector<wstring>;

protected:
    // editId: the button that edits the selected row (0: none); a double click on a row presses it.
    explicit OrderedListDialog(int editId) : editId(editId), list(*this) {}

    // Binds the list and the buttons, switches on full-row selection and lets the list see its keys.
    void bindList();
    // The columns from a "/"-separated string of the string table, with their widths in pixels.
    void addColumns(UINT namesId, std::initializer_list<int> widths);
    // A list-view call that fails throws Exception with the system's last error.
    void insertRow(int index, const Row& texts);
    void replaceRow(int index, const Row& texts);
    // Every column's text; a row that cannot be read whole throws Exception.
    Row rowTexts(int index) const;
    int rowCount() const { return list.getItemCount(); }
    int selectedRow() const { return list.getSelectedIndex(); }
    // The list's image of the row; -1 leaves the row without one.
    virtual int rowImage(const Row&) const { return -1; }

    // Enables the buttons that make sense for the selection. A focused button that is disabled hands the
    // default style to OK and the focus to the list.
    void updateButtons();
    // The up, down and delete buttons; OK stores the rows and ends the dialog, Cancel only ends it. Other
    // commands go to command.
    void onCommand(HWND hwnd, int id, int code) override;
    virtual void command(int id) = 0;
    // Replaces the settings' list by the rows; a failure leaves the settings' list as it was.
    virtual void store() = 0;
    // A failed command is shown in a warning box; the dialog stays open.
    void onException(const Exception& exception) override;
    // LVN_ITEMCHANGED of the list updates the buttons.
    bool onNotify(const NMHDR& header, LRESULT& result) override;

    ListView& listView() { return list; }

private:
    class KeyList : public ListView {
    public:
        explicit KeyList(OrderedListDialog& dialog) : dialog(dialog) {}
        bool onKeyDown(UINT key, UINT repeat, UINT flags) override;
        bool onDoubleClick(MouseButton button, const Point& client, UINT keys) override;

    private:
        OrderedListDialog& dialog;
    };

    void writeRow(int index, const Row& texts, bool insert);
    void moveSelected(int step);
    void disableButton(Button& button);

    int editId;
    int columnCount = 0;
    KeyList list;
    Button up;
    Button down;
    Button add;
    Button remove;
    Button edit;
    Button ok;
};

#include "toolkit/Dialog.h"
#include <utility>

namespace {

// What a dialog procedure answers after an exception, and for messages that find no object.
constexpr INT_PTR Handled = 1;

} // namespace

Dialog::~Dialog()
{
    if (!getHandle())
        return;
    if (modal) {
        EndDialog(hwnd, IDCANCEL);
        // The window outlives this object until the modal loop ends: its messages must not find it.
        bindObject(hwnd, nullptr);
    } else {
        DestroyWindow(hwnd);
    }
}

BOOL Dialog::destroy()
{
    if (!getHandle())
        return FALSE;
    return modal ? EndDialog(hwnd, IDCANCEL) : DestroyWindow(hwnd);
}

INT_PTR answerDialogMessage(HWND window, UINT message)
{
    switch (message) {
    case WM_COMMAND:
        return Handled;
    case WM_QUERYNEWPALETTE:
        if (IsWindow(window))
            InvalidateRect(window, nullptr, TRUE);
        return Handled;
    default:
        return 0;
    }
}

LRESULT Dialog::handleMessage(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_GETMINMAXINFO)
        return answerDialogMessage(window, message);
    limitTrackingSize(*reinterpret_cast<MINMAXINFO*>(lParam));
    return Handled;
}

DialogTemplate Dialog::prepare(HMODULE& module, UINT templateId)
{
    if (getHandle())
        throw Exception(ErrorCode::InvalidState);
    if (!module)
        module = GetModuleHandleW(nullptr);
    return DialogTemplate::load(module, templateId, fonts);
}

INT_PTR Dialog::doModal(HMODULE module, UINT templateId, HWND parent, LPARAM param)
{
    DialogTemplate dialogTemplate = prepare(module, templateId);
    modal = true;
    initParam = param;
    openingFailure = nullptr;
    INT_PTR result = DialogBoxIndirectParamW(module, dialogTemplate.get(), parent, dialogProcedure,
                                             reinterpret_cast<LPARAM>(this));
    if (result == -1) {
        modal = false;
        initParam = 0;
        rethrowOpeningFailure();
        throw Exception(ErrorCode::WindowGone);
    }
    return result;
}

HWND Dialog::create(HMODULE module, UINT templateId, HWND parent, LPARAM param)
{
    DialogTemplate dialogTemplate = prepare(module, templateId);
    modal = false;
    initParam = param;
    openingFailure = nullptr;
    HWND created = CreateDialogIndirectParamW(module, dialogTemplate.get(), parent, dialogProcedure,
                                              reinterpret_cast<LPARAM>(this));
    if (!created || openingFailure) {
        initParam = 0;
        rethrowOpeningFailure();
        throw Exception(ErrorCode::WindowGone);
    }
    return created;
}

void Dialog::abandon(std::exception_ptr cause)
{
    openingFailure = cause;
    if (modal)
        endDialog(-1);
    else
        destroy();
}

void Dialog::rethrowOpeningFailure()
{
    if (std::exception_ptr cause = std::exchange(openingFailure, nullptr))
        std::rethrow_exception(cause);
}

void Dialog::endDialog(INT_PTR result)
{
    if (getHandle() && modal)
        EndDialog(hwnd, result);
}

INT_PTR CALLBACK Dialog::dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* object = message == WM_INITDIALOG ? reinterpret_cast<Dialog*>(lParam) : boundObject<Dialog>(window);
    if (!object)
        return message == WM_DESTROY || message == WM_COMMAND ? Handled : 0;
    return routeExceptions(object, Handled, [&] { return object->dispatch(window, message, wParam, lParam); });
}

INT_PTR Dialog::dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        bindObject(window, this);
        hwnd = window;
        return opened(window, wParam);
    case WM_DESTROY: {
        INT_PTR result = answerDialogGuarded(window, message, wParam, lParam, Handled);
        unbind(window);
        return result;
    }
    case WM_COMMAND:
        return routeCommand(window, wParam, lParam);
    default:
        return answerDialog(window, message, wParam, lParam);
    }
}

INT_PTR Dialog::opened(HWND window, WPARAM focus)
{
    try {
        return answerDialog(window, WM_INITDIALOG, focus, initParam);
    } catch (const Exception&) {
        abandon(std::current_exception());
    } catch (const std::exception&) {
        abandon(std::current_exception());
    }
    return Handled;
}

void Dialog::unbind(HWND window)
{
    bindObject(window, nullptr);
    hwnd = nullptr;
    modal = false;
    initParam = 0;
}

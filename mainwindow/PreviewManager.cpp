#include "mainwindow/PreviewManager.h"
#include <algorithm>
#include "foundation/Application.h"
#include "foundation/Path.h"
#include "imaging/Dib.h"
#include "mainwindow/PreviewWindow.h"
#include "mainwindow/mainWindowMessages.h"
#include "settings/Messages.h"
#include "toolkit/PictureView.h"

namespace {

constexpr UINT PreviewIcon = 201;

// A window still decoding its file is not shown yet, and never gets the focus.
bool isShown(const PreviewWindow& window)
{
    return window.getHandle() && window.isVisible();
}

} // namespace

PreviewManager::PreviewManager(const MainWindowServices& services) : services(services)
{
    PictureView::registerClass();
    windowClass.windowClass.registerClass((services.program.getName() + L"Preview").buffer(),
                                          services.program.getResourceModule(), PreviewIcon, PreviewIcon);
}

// The windows go first: they hand over the decodes still under way, which end on the pool.
PreviewManager::~PreviewManager()
{
    windows.clear();
}

void PreviewManager::applyBackground()
{
    for (auto& window : windows)
        if (window->getHandle())
            window->applyBackground();
}

const Dib* PreviewManager::backgroundOf(int previewBack) const
{
    if (!services.swatches || previewBack < 1 || previewBack > services.swatchCount)
        return nullptr;
    return &services.swatches[previewBack - 1];
}

bool PreviewManager::open(const wstring& path, bool converted, int format, const wstring& formatName)
{
    wstring lowered = path.toLower();
    for (auto& window : windows) {
        if (!window->getHandle() || window->isConverted() != converted || !(window->getPath() == lowered))
            continue;
        // A source picture is shown once; a converted one is shown again as the settings are now.
        if (!converted) {
            if (isShown(*window))
                SetFocus(window->getHandle());
            return true;
        }
        window->destroy();
    }
    purge();

    Path normalised(path);
    if (!normalised.exists())
        throw ApplicationException(wstring(Messages::E0003.get()).replace(L"%s", normalised.getPath().buffer()).buffer());
    windows.insert(windows.begin(), converted
                                        ? std::make_unique<PreviewWindow>(*this, services, lowered, format, formatName)
                                        : std::make_unique<PreviewWindow>(*this, services, lowered));
    PreviewWindow& window = *windows.front();
    if (!converted)
        window.takeOverLoading(takeHanded(lowered));
    try {
        window.create(0, windowClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr,
                      nullptr);
    } catch (const Exception&) {
        bool cancelled = window.wasCancelled();
        windows.erase(windows.begin());
        if (cancelled)
            return false;
        throw ApplicationException(Messages::E0004.get());
    }
    window.present();
    return true;
}

void PreviewManager::loadFailed()
{
    if (main)
        PostMessageW(main, PreviewFailedMessage, 0, 0);
}

void PreviewManager::retire(const wstring& path, std::unique_ptr<PreviewPaneLoader> loader)
{
    handed.push_back({path, std::move(loader)});
}

std::unique_ptr<PreviewPaneLoader> PreviewManager::takeHanded(const wstring& path)
{
    auto found = std::find_if(handed.begin(), handed.end(),
                              [&](const Handed& entry) { return entry.path == path && entry.loader->isWorking(); });
    if (found == handed.end())
        return nullptr;
    std::unique_ptr<PreviewPaneLoader> loader = std::move(found->loader);
    handed.erase(found);
    return loader;
}

int PreviewManager::count() const
{
    return static_cast<int>(
        std::count_if(windows.begin(), windows.end(), [](const auto& window) { return window->getHandle(); }));
}

void PreviewManager::closeAll()
{
    for (auto entry = windows.rbegin(); entry != windows.rend(); ++entry) {
        HWND window = (*entry)->getHandle();
        if (!window)
            continue;
        // A dialog open on the window is cancelled first, as the user would.
        HWND popup = GetLastActivePopup(window);
        if (popup && popup != window)
            SendMessageW(popup, WM_COMMAND, IDCANCEL, 0);
        SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    purge();
}

void PreviewManager::focusNeighbour(const PreviewWindow& window, bool next)
{
    auto self = std::find_if(windows.begin(), windows.end(), [&](const auto& entry) { return entry.get() == &window; });
    if (self == windows.end())
        return;
    if (next) {
        for (auto entry = self + 1; entry != windows.end(); ++entry)
            if (isShown(**entry)) {
                SetFocus((*entry)->getHandle());
                return;
            }
        return;
    }
    for (auto entry = self; entry != windows.begin();) {
        --entry;
        if (isShown(**entry)) {
            SetFocus((*entry)->getHandle());
            return;
        }
    }
}

void PreviewManager::purge()
{
    std::erase_if(windows, [](const auto& window) { return !window->getHandle(); });
    std::erase_if(handed, [](const Handed& entry) { return !entry.loader->isWorking(); });
}

#pragma once
#include "foundation/wstring.h"
#include "imaging/BitmapPtr.h"
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/PictureView.h"

// The conversion sheet's page of the colour effect: brightness, posterisation and one of the named filters,
// with a live preview of the three on a sample picture (the first picture of the main window's list). The
// sample is read once when the page opens, fitted to the width of the preview; a sample that cannot be read
// or fitted only leaves the page without a preview.
class EffectPage : public SettingPage {
public:
    // The sample picture's path; empty when there is none.
    explicit EffectPage(const wstring& samplePath);

protected:
    void bindControls() override;
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;
    // A preview that fails keeps what it showed.
    void onChanged(int id) override;
    void releaseWindowResources() override { sample.reset(); }

private:
    void loadSample(bool fitToView);
    void updateEnabledStates();
    void updatePreview();

    Button preview;
    PictureView view;
    wstring samplePath;
    BitmapPtr sample;
};

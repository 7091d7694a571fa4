// Every key of the settings file with its default and range, in file order. Each section is exchanged in one
// function used for loading and saving alike.
#include "jobs/ThumbNailKind.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"
#include "settings/SettingExchange.h"
#include "settings/settingsStrings.h"
#include "toolkit/Font.h"

namespace {

constexpr int MaxPlugIns = 65536;
constexpr int MaxViewers = 100;

// The output formats' keys in format index order, and the order in which a save writes them.
const wchar_t* const outputExtKeys[] = {L"Jpeg", L"Gif", L"Tiff", L"Png", L"Bitmap", L"Wdp", L"Hdp"};
constexpr int outputExtCount = static_cast<int>(sizeof(outputExtKeys) / sizeof(outputExtKeys[0]));
const int outputExtSaveOrder[outputExtCount] = {0, 1, 2, 3, 5, 6, 4};

// Made in one go: a file may ask for tens of thousands of them.
template <size_t PrefixUnits, size_t SuffixUnits>
wstring numbered(const wchar_t (&prefix)[PrefixUnits], int n, const wchar_t (&suffix)[SuffixUnits])
{
    // The two names with their terminators have room for the longest number ("-2147483648") and one more.
    wchar_t text[PrefixUnits + SuffixUnits + 11];
    wsprintfW(text, L"%s%d%s", prefix, n, suffix);
    return wstring(text);
}

// The first face of the resource's "/"-separated list that is installed; empty when none is.
wstring firstInstalledFace(HMODULE module)
{
    wstring faces;
    faces.loadString(module, IDS_FONT_FACES);
    return firstInstalledFace(faces);
}

} // namespace

void AppSetting::exchange(SettingExchange& x, bool conversionOnly)
{
    if (!conversionOnly) {
        exchangeWindow(x);
        exchangeFile(x);
        x.setSection(sections.at(EditSection));
        x.integer(L"Format", editFormat, 0, 0, 5);
        exchangeView(x);
        x.setSection(sections.at(CommandSection));
        x.text(L"LogEncoding", commandLogEncoding, L"utf-8");
    }
    exchangeTrimming(x);
    exchangeResize(x);
    exchangeText(x);
    exchangeRotate(x);
    exchangeEffect(x);
    exchangeAppearance(x);
    exchangeOrder(x);
    exchangeFormats(x);
    if (conversionOnly)
        return;
    exchangeRename(x);
    exchangeFilter(x);
    exchangeOutputExt(x);
    exchangeSpi(x);
    exchangeApplications(x);
}

void AppSetting::exchangeWindow(SettingExchange& x)
{
    x.setSection(sections.at(WindowSection));
    x.integer(L"Left", windowLeft, CW_USEDEFAULT);
    x.integer(L"Top", windowTop, CW_USEDEFAULT);
    x.integer(L"Width", windowWidth, 600);
    x.integer(L"Height", windowHeight, 375);
    x.integer(L"LeftWidth", windowLeftWidth, 320);
    x.integer(L"CWName", windowCWName, 230);
    x.integer(L"CWSize", windowCWSize, 68);
    x.integer(L"CWType", windowCWType, 120);
    x.integer(L"CWDate", windowCWDate, 120);
    x.integer(L"LogLeft", windowLogLeft, CW_USEDEFAULT);
    x.integer(L"LogTop", windowLogTop, CW_USEDEFAULT);
    x.integer(L"LogWidth", windowLogWidth, 320);
    x.integer(L"LogHeight", windowLogHeight, 240);
    x.integer(L"LogLines", windowLogLines, 4096, 256, 32768);
    x.colour(L"LogSkipColor", windowLogSkipColor, 0xFF0000);
    x.colour(L"LogFailureColor", windowLogFailureColor, 0x0000FF);
    // The program never edits the dialog fonts: a save writes back what the file held, and nothing otherwise.
    if (x.isLoading()) {
        windowUiFontFaces = x.getStore().readString(x.getSection(), L"UiFontFaces", wstring());
        uiFontFacesStored = !windowUiFontFaces.isEmpty();
        if (!uiFontFacesStored)
            windowUiFontFaces.loadString(x.getModule(), IDS_UI_FONT_FACES);
    } else if (uiFontFacesStored) {
        x.getStore().writeString(x.getSection(), L"UiFontFaces", windowUiFontFaces);
    }
    x.integer(L"IndexSetting", windowIndexSetting, 0, 0, 5);
    x.integer(L"IndexConvertSetting", windowIndexConvertSetting, 0, 0, 6);
    x.integer(L"IndexRenameSetting", windowIndexRenameSetting, 0, 0, 2);
}

void AppSetting::exchangeFile(SettingExchange& x)
{
    x.setSection(sections.at(FileSection));
    x.flag(L"InitFolder", fileInitFolder, false);
    x.text(L"Folder", fileFolder, L"");
    x.flag(L"SaveSrcFolder", fileSaveSrcFolder, false);
    x.flag(L"OverWrite", fileOverWrite, false);
    x.flag(L"DelSrc", fileDelSrc, false);
    x.flag(L"AutoRename", fileAutoRename, false);
    x.flag(L"KeepFileTime", fileKeepFileTime, false);
    x.flag(L"KeepDPI", fileKeepDPI, false);
    x.flag(L"EnsureSetting", fileEnsureSetting, false);
    x.flag(L"EnsureLog", fileEnsureLog, false);
    x.flag(L"OpenFolder", fileOpenFolder, true);
    x.flag(L"OpenLayout", fileOpenLayout, false);
    x.text(L"Layout", fileLayout, L"");
    x.text(L"ThumbnailLang", fileThumbnailLang, L"ja");
    x.text(L"ThumbnailCharset", fileThumbnailCharset, L"utf-8");
    x.text(L"ThumbnailTitle", fileThumbnailTitle, x.getRootName());
    wstring kind = thumbnailmaker::kindName(fileThumbnailType);
    x.text(L"ThumbnailType", kind, L"");
    if (x.isLoading())
        fileThumbnailType = thumbnailmaker::kindFromName(kind);
    x.integer(L"ThumbnailCols", fileThumbnailCols, 4, 1, 99);
    x.flag(L"ThumbnailImage", fileThumbnailImage, true);
    x.text(L"ThumbnailImageFolder", fileThumbnailImageFolder, L"image");
    x.text(L"ThumbnailImageFile", fileThumbnailImageFile, L"thumbnail");
    x.flag(L"ThumbnailImageOverWrite", fileThumbnailImageOverWrite, false);
    x.integer(L"ThumbnailSize", fileThumbnailSize, 1, 0, 2);
    x.flag(L"ThumbnailOpenFile", fileThumbnailOpenFile, true);
    x.integer(L"SplitWidth", fileSplitWidth, 32, 1, 9999);
    x.integer(L"SplitHeight", fileSplitHeight, 32, 1, 9999);
    x.colour(L"SplitBackColor", fileSplitBackColor, 0);
    x.flag(L"JoinVert", fileJoinVert, false);
    x.colour(L"JoinBackColor", fileJoinBackColor, 0);
    x.integer(L"JoinMaxWidth", fileJoinMaxWidth, 4096, 1024, 32768);
    x.integer(L"AviFPS", fileAviFPS, 8, 1, 30);
    x.integer(L"AnimeGifElapse", fileAnimeGifElapse, 50, 1, 65535);
    x.flag(L"AnimeGifAssignTransparent", fileAnimeGifAssignTransparent, false);
    x.flag(L"AnimeGifAssignTransparentColor", fileAnimeGifAssignTransparentColor, false);
    x.colour(L"AnimeGifTransparentColor", fileAnimeGifTransparentColor, 0);
    x.integer(L"SSMaxImageSize", fileSSMaxImageSize, 800, 100, 32768);
    x.text(L"Help", fileHelp, x.getRootName().toLower() + L".html");
}

void AppSetting::exchangeView(SettingExchange& x)
{
    x.setSection(sections.at(ViewSection));
    x.flag(L"Toolbar", viewToolbar, true);
    x.flag(L"Statusbar", viewStatusbar, true);
    x.flag(L"Preview", viewPreview, true);
    x.flag(L"LogWindow", viewLogWindow, false);
    x.integer(L"FileListDisplayMode", viewFileListDisplayMode, 0, 0, 4);
    x.flag(L"Group", viewGroup, false);
    x.integer(L"PreviewMode", viewPreviewMode, 2, 0, 2);
    x.integer(L"PreviewPos", viewPreviewPos, 2, 0, 3);
    x.flag(L"TopMost", viewTopMost, false);
    x.integer(L"PreviewInitWidth", viewPreviewInitWidth, 768, 100, 9999);
    x.integer(L"PreviewInitHeight", viewPreviewInitHeight, 480, 100, 9999);
    x.integer(L"PreviewInitMode", viewPreviewInitMode, 0, 0, 2);
    x.flag(L"PreviewUseTransparent", viewPreviewUseTransparent, false);
    x.integer(L"PreviewTransparent", viewPreviewTransparent, 0, 0, 90);
    x.integer(L"PreviewBack", viewPreviewBack, 6, 0, 6);
    x.flag(L"PreviewShowHints", viewPreviewShowHints, true);
    x.flag(L"PreviewMakeIcon", viewPreviewMakeIcon, true);
    x.integer(L"ViewType", viewViewType, 0, 0, 1);
    x.flag(L"PrintDefault", viewPrintDefault, false);
    x.flag(L"PrintOrientation", viewPrintOrientation, false);
    x.integer(L"PrintPaperSize", viewPrintPaperSize, 9, 1, 256);
}

void AppSetting::exchangeTrimming(SettingExchange& x)
{
    x.setSection(sections.at(TrimmingSection));
    x.flag(L"Enable", trimmingEnable, false);
    x.integer(L"Left", trimmingLeft, 0, 0, 9999);
    x.integer(L"Top", trimmingTop, 0, 0, 9999);
    x.integer(L"Right", trimmingRight, 0, 0, 9999);
    x.integer(L"Bottom", trimmingBottom, 0, 0, 9999);
    x.number(L"LeftPer", trimmingLeftPer, L"0", L"0", L"100");
    x.number(L"TopPer", trimmingTopPer, L"0", L"0", L"100");
    x.number(L"RightPer", trimmingRightPer, L"0", L"0", L"100");
    x.number(L"BottomPer", trimmingBottomPer, L"0", L"0", L"100");
    x.integer(L"Unit", trimmingUnit, 0, 0, 1);
    x.flag(L"AutoScan", trimmingAutoScan, false);
    x.flag(L"ScanLeft", trimmingScanLeft, true);
    x.flag(L"ScanTop", trimmingScanTop, true);
    x.flag(L"ScanRight", trimmingScanRight, true);
    x.flag(L"ScanBottom", trimmingScanBottom, true);
    x.flag(L"AssignScanColor", trimmingAssignScanColor, false);
    x.colour(L"ScanColor", trimmingScanColor, 0);
    x.integer(L"Offset", trimmingOffset, 0, 0, 254);
    x.integer(L"Space", trimmingSpace, 0, 0, 100);
}

void AppSetting::exchangeResize(SettingExchange& x)
{
    x.setSection(sections.at(ResizeSection));
    x.flag(L"Enable", resizeEnable, false);
    x.integer(L"Width", resizeWidth, 800, 1, 9999);
    x.integer(L"Height", resizeHeight, 800, 1, 9999);
    x.number(L"WidthPer", resizeWidthPer, L"100", L"25", L"400");
    x.number(L"HeightPer", resizeHeightPer, L"100", L"25", L"400");
    x.integer(L"Unit", resizeUnit, 0, 0, 1);
    x.integer(L"Adjust", resizeAdjust, 1, 0, 5);
    x.integer(L"Orientation", resizeOrientation, 0, 0, 3);
    x.number(L"Scale", resizeScale, L"1", L"0", L"10");
    x.colour(L"BackColor", resizeBackColor, 0);
    x.flag(L"BackColorTransparent", resizeBackColorTransparent, false);
    x.integer(L"RenderPosition", resizeRenderPosition, 4, 0, 9);
    x.flag(L"Stretch", resizeStretch, true);
    x.integer(L"Interpolation", resizeInterpolation, 1, 0, 2);
}

void AppSetting::exchangeText(SettingExchange& x)
{
    x.setSection(sections.at(TextSection));
    x.flag(L"Enable", textEnable, false);
    x.integer(L"FontSize", textFontSize, 18, 0, 255);
    x.integer(L"FontWeight", textFontWeight, 400, 0, 999);
    x.text(L"FontFace", textFontFace, L"");
    if (x.isLoading() && textFontFace.isEmpty())
        textFontFace = firstInstalledFace(x.getModule());
    x.flag(L"FontItalic", textFontItalic, true);
    x.flag(L"FontUnderline", textFontUnderline, false);
    x.flag(L"FontStrikeOut", textFontStrikeOut, false);
    x.integer(L"FontCharSet", textFontCharSet, 128, 0, 255);
    x.colour(L"Color", textColor, 0x0080FF);
    x.integer(L"ColorAlpha", textColorAlpha, 255, 0, 255);
    x.number(L"Angle", textAngle, L"0", L"-359.99", L"359.99");
    x.colour(L"BackColor", textBackColor, 0xFFFFFF);
    x.flag(L"NoBackColor", textNoBackColor, true);
    x.integer(L"Position", textPosition, 8, 0, 8);
    x.integer(L"OffsetX", textOffsetX, 0, -999, 999);
    x.integer(L"OffsetY", textOffsetY, 0, -999, 999);
    x.text(L"Text", textText, L"");
}

void AppSetting::exchangeRotate(SettingExchange& x)
{
    x.setSection(sections.at(RotateSection));
    x.flag(L"Enable", rotateEnable, false);
    x.integer(L"Assign", rotateAssign, 0, 0, 4);
    x.number(L"AssignAngle", rotateAssignAngle, L"0", L"-359.99", L"359.99");
    x.colour(L"AssignAngleColor", rotateAssignAngleColor, 0);
    x.flag(L"AssignAngleColorTransparent", rotateAssignAngleColorTransparent, false);
    x.number(L"AngleH", rotateAngleH, L"0", L"-89.99", L"89.99");
    x.number(L"AngleV", rotateAngleV, L"0", L"-89.99", L"89.99");
    x.colour(L"SlopeColor", rotateSlopeColor, 0);
    x.flag(L"SlopeColorTransparent", rotateSlopeColorTransparent, false);
}

void AppSetting::exchangeEffect(SettingExchange& x)
{
    x.setSection(sections.at(EffectSection));
    x.flag(L"Enable", effectEnable, false);
    x.integer(L"Bright", effectBright, 0, -255, 255);
    x.integer(L"Posterization", effectPosterization, 256, 2, 256);
    wstring keyword = effectName(effectFilter);
    x.text(L"Filter", keyword, L"");
    if (x.isLoading())
        effectFilter = effectIndexOf(keyword.buffer());
    x.integer(L"WarmLevel", effectWarmLevel, 16, 0, 255);
    x.integer(L"CoolLevel", effectCoolLevel, 16, 0, 255);
    x.number(L"Saturation", effectSaturation, L"0.1618", L"0", L"1");
    x.integer(L"ContrastTimes", effectContrastTimes, 1, 1, 5);
    x.number(L"EqualizeLevelS", effectEqualizeLevelS, L"0.4", L"0", L"1");
    x.integer(L"SoftTimes", effectSoftTimes, 1, 1, 5);
    x.integer(L"SharpTimes", effectSharpTimes, 1, 1, 5);
    x.integer(L"PixelateSize", effectPixelateSize, 8, 2, 100);
    x.integer(L"BlurScale", effectBlurScale, 20, 1, 100);
    x.integer(L"Alpha", effectAlpha, 128, 0, 255);
    x.flag(L"Preview", effectPreview, false);
    x.flag(L"PreviewResize", effectPreviewResize, true);
}

void AppSetting::exchangeAppearance(SettingExchange& x)
{
    x.setSection(sections.at(AppearanceSection));
    x.flag(L"Enable", appearanceEnable, false);
    x.colour(L"BackColor", appearanceBackColor, 0);
    x.integer(L"RgnType", appearanceRgnType, 0, 0, 2);
    x.integer(L"EllipseWidth", appearanceEllipseWidth, 0, 0, 9999);
    x.integer(L"EllipseHeight", appearanceEllipseHeight, 0, 0, 9999);
    x.integer(L"FrameWidth", appearanceFrameWidth, 0, 0, 999);
    x.integer(L"FrameHeight", appearanceFrameHeight, 0, 0, 999);
}

void AppSetting::exchangeOrder(SettingExchange& x)
{
    x.setSection(sections.at(OrderSection));
    x.text(L"First", orderFirst, L"");
    x.text(L"Second", orderSecond, L"");
    x.text(L"Third", orderThird, L"");
    x.text(L"Forth", orderForth, L"");
    x.text(L"Fifth", orderFifth, L"");
    x.text(L"Sixth", orderSixth, L"");
}

void AppSetting::exchangeFormats(SettingExchange& x)
{
    x.setSection(sections.at(JpegSection));
    x.flag(L"Enable", jpegEnable, false);
    x.integer(L"Assign", jpegAssign, 0, 0, 1);
    x.integer(L"Quality", jpegQuality, 75, 1, 100);
    x.integer(L"AssignFileSize", jpegAssignFileSize, 50, 1, 999);
    x.flag(L"Exif", jpegExif, false);

    x.setSection(sections.at(GifSection));
    x.flag(L"Enable", gifEnable, false);
    x.flag(L"AssignTransparentColor", gifAssignTransparentColor, false);
    x.colour(L"TransparentColor", gifTransparentColor, 0);

    x.setSection(sections.at(TiffSection));
    x.flag(L"Enable", tiffEnable, false);
    x.integer(L"Compression", tiffCompression, 0, 0, 4);
    x.flag(L"ErrorDiffusion", tiffErrorDiffusion, false);
    x.flag(L"Transparent", tiffTransparent, false);
    x.flag(L"AssignTransparentColor", tiffAssignTransparentColor, false);
    x.colour(L"TransparentColor", tiffTransparentColor, 0);
    x.integer(L"Alpha", tiffAlpha, 0, 0, 255);

    x.setSection(sections.at(PngSection));
    x.flag(L"Enable", pngEnable, false);
    x.flag(L"AssignTransparentColor", pngAssignTransparentColor, false);
    x.colour(L"TransparentColor", pngTransparentColor, 0);
    x.integer(L"Alpha", pngAlpha, 0, 0, 255);

    x.setSection(sections.at(HdpSection));
    x.flag(L"Enable", hdpEnable, false);
    x.integer(L"Assign", hdpAssign, 0, 0, 1);
    x.integer(L"Quality", hdpQuality, 90, 1, 100);
    x.integer(L"AssignFileSize", hdpAssignFileSize, 50, 1, 999);
    x.flag(L"Lossless", hdpLossless, false);

    x.setSection(sections.at(BitmapSection));
    x.flag(L"Enable", bitmapEnable, false);
    x.integer(L"Bpp", bitmapBpp, 0, 0, 3);
    x.integer(L"Pal8", bitmapPal8, 0, 0, 1);
    x.integer(L"Pal4", bitmapPal4, 0, 0, 1);
    x.flag(L"ErrorDiffusion", bitmapErrorDiffusion, false);
}

void AppSetting::exchangeRename(SettingExchange& x)
{
    x.setSection(sections.at(RenameSection));
    x.flag(L"Enable", renameEnable, false);
    x.text(L"Definition", renameDefinition, L"image$index.$ext");
    x.integer(L"IndexBase", renameIndexBase, 0, 0, 9999);
    x.integer(L"IndexIncrement", renameIndexIncrement, 1, 1, 9999);
    x.integer(L"IndexPadding", renameIndexPadding, 1, 1, 4);
}

void AppSetting::exchangeFilter(SettingExchange& x)
{
    x.setSection(sections.at(FilterSection));
    x.flag(L"Enable", filterEnable, false);
    x.integer(L"Type", filterType, 0, 0, 4);
    x.integer(L"NameLength", filterNameLength, 4, 1, 260);
}

void AppSetting::exchangeOutputExt(SettingExchange& x)
{
    x.setSection(sections.at(OutputExtSection));
    x.flag(L"Enable", outputExtEnable, false);
    ISetting& store = x.getStore();
    if (!x.isLoading()) {
        for (int i = 0; i < outputExtCount; ++i) {
            int format = outputExtSaveOrder[i];
            store.writeString(x.getSection(), outputExtKeys[format], outputExts.at(format));
        }
        return;
    }
    outputExts.removeAll();
    for (int format = 0; format < outputExtCount; ++format) {
        wstring byDefault = defaultOutputExtension(format, x.getModule());
        outputExts.add(store.readString(x.getSection(), outputExtKeys[format], byDefault));
    }
}

void AppSetting::exchangeSpi(SettingExchange& x)
{
    x.setSection(sections.at(SpiSection));
    ISetting& store = x.getStore();
    const wstring& section = x.getSection();
    if (!x.isLoading()) {
        store.deleteSection(section);
        store.writeInt(section, L"Count", spiPaths.count());
        for (int n = 0; n < spiPaths.count(); ++n)
            store.writeString(section, numbered(L"Path", n, L""), spiPaths.at(n));
        return;
    }
    spiPaths.removeAll();
    int count = store.readIntInRange(section, L"Count", 0, 0, MaxPlugIns);
    for (int n = 0; n < count; ++n) {
        wstring pluginPath = store.readString(section, numbered(L"Path", n, L""), wstring());
        if (!pluginPath.isEmpty())
            spiPaths.add(pluginPath);
    }
}

void AppSetting::exchangeApplications(SettingExchange& x)
{
    x.setSection(sections.at(ApplicationsSection));
    ISetting& store = x.getStore();
    const wstring& section = x.getSection();
    if (!x.isLoading()) {
        store.deleteSection(section);
        store.writeInt(section, L"Count", applications.count());
        for (int n = 0; n < applications.count(); ++n) {
            const ViewerEntry& viewer = applications.at(n);
            store.writeString(section, numbered(L"Application", n, L".Exts"), viewer.exts.join(L";"));
            store.writeString(section, numbered(L"Application", n, L".Name"), viewer.name);
            store.writeString(section, numbered(L"Application", n, L".Path"), viewer.path);
        }
        return;
    }
    applications.removeAll();
    int count = store.readIntInRange(section, L"Count", 0, 0, MaxViewers);
    for (int n = 0; n < count; ++n) {
        ViewerEntry viewer;
        viewer.path = store.readString(section, numbered(L"Application", n, L".Path"), wstring());
        if (viewer.path.isEmpty())
            continue;
        viewer.exts.split(store.readString(section, numbered(L"Application", n, L".Exts"), wstring()), L";", true);
        viewer.name = store.readString(section, numbered(L"Application", n, L".Name"), L"Untitled");
        applications.add(viewer);
    }
}

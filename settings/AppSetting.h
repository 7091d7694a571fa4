#pragma once
#include <windows.h>
#include "conversion/EffectKeywords.h"
#include "foundation/Decimal.h"
#include "foundation/wstringArray.h"
#include "settings/ViewerEntries.h"

class ISetting;
class Mutex;
class SettingExchange;
class SettingsFileBytes;

// Every option of the program, one field per key of the settings file. Fields are named after their section
// and key (Window/LogLines is windowLogLines). Colours are COLORREF values. The record is loaded at start-up,
// saved on request, exported to and imported from files the user picks. A load is given the application's named
// mutex and holds it while it reads the file; a save's caller holds it around the save.
class AppSetting {
public:
    AppSetting();
    AppSetting(const AppSetting&) = delete;
    AppSetting& operator=(const AppSetting&) = delete;
    virtual ~AppSetting();

    // Must come before load and save: without the section names every key access throws Exception 87.
    void setSectionsAndPath(const wstring& path);
    // Reads the settings file (explicitPath null), where a missing, unreadable or unopened file gives the
    // defaults; or imports the conversion sections Trimming to Bitmap from explicitPath, where a missing,
    // unreadable or unopened file throws and leaves the record as it was, as does one with a value that the
    // settings file could not hold (UnstorableSettingValue naming its key). A file that is read but holds no key
    // of any section of the record (an empty file, another program's) counts as unreadable, ERROR_INVALID_DATA;
    // of a file that holds some sections, the keys it lacks take their defaults. A settings file that is there
    // but unreadable is kept for the user under a name of its own (getKeptAsideFile) before a save could
    // replace it; one that is there but cannot be opened stays where it is (getUnopenedFileError). rootName is
    // the application's name; the module holds the default font lists. The file guard (the application's
    // named mutex, or none) is held only while the file is read or moved, not while its bytes are parsed.
    void load(const wstring& rootName, const wchar_t* explicitPath, HMODULE resourceModule, Mutex* fileGuard = nullptr);
    // Reads every section from a file that the user names instead of the settings file (the command line's
    // settings file); a missing or unreadable file throws as an import does and leaves the record as it was.
    void loadWhole(const wstring& rootName, const wstring& file, HMODULE resourceModule, Mutex* fileGuard = nullptr);
    // Whether a save may put the record in place of a settings file that the load found but could not open.
    enum class UnopenedFile { Keep, Replace };
    // Writes every section to the settings file, or to explicitPath (export); a missing folder is created.
    // The file is written under a temporary name beside it and then put in place of the old one, so a save
    // that fails or breaks off leaves the old file whole. When the unreadable settings file could not be kept
    // aside at the load, that is tried first, and its failure throws before anything is written. A settings
    // file that the load could not open is replaced only when `unopened` says so; otherwise the save throws
    // Exception with the load's error before anything is written. A value that the file cannot hold (one too long
    // for an INI file, one with characters that XML cannot hold) throws UnstorableSettingValue naming its key,
    // and the old file stays.
    void save(const wstring& rootName, const wchar_t* explicitPath, UnopenedFile unopened = UnopenedFile::Keep);
    // Throws Exception with the system's error, ERROR_FILE_NOT_FOUND when there is no file.
    void deleteSettingsFile();
    const wstring& getPath() const { return path; }
    // Why the settings file that the last load found could not be opened or read (another program holds it,
    // access is denied); ERROR_SUCCESS when it was read, missing or damaged, and once a save or a delete has
    // dealt with it. Meanwhile the record holds the defaults, and the user's file must not be replaced unasked.
    DWORD getUnopenedFileError() const { return unopenedFileError; }
    // Where the settings file that the last load could not read is kept ("<file>.unreadable", numbered when
    // that name is taken); empty when the file was read or missing.
    const wstring& getKeptAsideFile() const { return keptAsideFile; }

    // The GDI+ compression value for TIFF output: CCITT3, CCITT4, RLE or none for the choices 1 to 4 when the
    // TIFF options are on, LZW otherwise.
    int tiffCompressionEncoderValue() const;
    bool isBilevelTiffCompression() const;
    static bool isBilevelCompressionChoice(int compression);

    // Window
    int windowLeft = 0;
    int windowTop = 0;
    int windowWidth = 0;
    int windowHeight = 0;
    int windowLeftWidth = 0;
    int windowCWName = 0;
    int windowCWSize = 0;
    int windowCWType = 0;
    int windowCWDate = 0;
    int windowLogLeft = 0;
    int windowLogTop = 0;
    int windowLogWidth = 0;
    int windowLogHeight = 0;
    int windowLogLines = 0;
    COLORREF windowLogSkipColor = 0;
    COLORREF windowLogFailureColor = 0;
    // Face:points items separated by ";"; read from the file, written back only when the file had it.
    wstring windowUiFontFaces;
    int windowIndexSetting = 0;
    int windowIndexConvertSetting = 0;
    int windowIndexRenameSetting = 0;

    // File
    bool fileInitFolder = false;
    wstring fileFolder;
    bool fileSaveSrcFolder = false;
    bool fileOverWrite = false;
    bool fileDelSrc = false;
    bool fileAutoRename = false;
    bool fileKeepFileTime = false;
    bool fileKeepDPI = false;
    bool fileEnsureSetting = false;
    bool fileEnsureLog = false;
    bool fileOpenFolder = false;
    bool fileOpenLayout = false;
    wstring fileLayout;
    wstring fileThumbnailLang;
    wstring fileThumbnailCharset;
    wstring fileThumbnailTitle;
    // A thumbnail-sheet kind, 1 to 6; stored by its name.
    int fileThumbnailType = 0;
    int fileThumbnailCols = 0;
    bool fileThumbnailImage = false;
    wstring fileThumbnailImageFolder;
    wstring fileThumbnailImageFile;
    bool fileThumbnailImageOverWrite = false;
    int fileThumbnailSize = 0;
    bool fileThumbnailOpenFile = false;
    int fileSplitWidth = 0;
    int fileSplitHeight = 0;
    COLORREF fileSplitBackColor = 0;
    bool fileJoinVert = false;
    COLORREF fileJoinBackColor = 0;
    int fileJoinMaxWidth = 0;
    int fileAviFPS = 0;
    int fileAnimeGifElapse = 0;
    bool fileAnimeGifAssignTransparent = false;
    bool fileAnimeGifAssignTransparentColor = false;
    COLORREF fileAnimeGifTransparentColor = 0;
    int fileSSMaxImageSize = 0;
    wstring fileHelp;

    // Edit
    int editFormat = 0;

    // View
    bool viewToolbar = false;
    bool viewStatusbar = false;
    bool viewPreview = false;
    bool viewLogWindow = false;
    int viewFileListDisplayMode = 0;
    bool viewGroup = false;
    int viewPreviewMode = 0;
    int viewPreviewPos = 0;
    bool viewTopMost = false;
    int viewPreviewInitWidth = 0;
    int viewPreviewInitHeight = 0;
    int viewPreviewInitMode = 0;
    bool viewPreviewUseTransparent = false;
    int viewPreviewTransparent = 0;
    int viewPreviewBack = 0;
    bool viewPreviewShowHints = false;
    bool viewPreviewMakeIcon = false;
    int viewViewType = 0;
    bool viewPrintDefault = false;
    bool viewPrintOrientation = false;
    int viewPrintPaperSize = 0;

    // Command
    wstring commandLogEncoding;

    // Trimming
    bool trimmingEnable = false;
    int trimmingLeft = 0;
    int trimmingTop = 0;
    int trimmingRight = 0;
    int trimmingBottom = 0;
    Decimal trimmingLeftPer{0};
    Decimal trimmingTopPer{0};
    Decimal trimmingRightPer{0};
    Decimal trimmingBottomPer{0};
    int trimmingUnit = 0;
    bool trimmingAutoScan = false;
    bool trimmingScanLeft = false;
    bool trimmingScanTop = false;
    bool trimmingScanRight = false;
    bool trimmingScanBottom = false;
    bool trimmingAssignScanColor = false;
    COLORREF trimmingScanColor = 0;
    int trimmingOffset = 0;
    int trimmingSpace = 0;

    // Resize
    bool resizeEnable = false;
    int resizeWidth = 0;
    int resizeHeight = 0;
    Decimal resizeWidthPer{0};
    Decimal resizeHeightPer{0};
    int resizeUnit = 0;
    int resizeAdjust = 0;
    int resizeOrientation = 0;
    Decimal resizeScale{0};
    COLORREF resizeBackColor = 0;
    bool resizeBackColorTransparent = false;
    int resizeRenderPosition = 0;
    bool resizeStretch = false;
    int resizeInterpolation = 0;

    // Rotate
    bool rotateEnable = false;
    int rotateAssign = 0;
    Decimal rotateAssignAngle{0};
    COLORREF rotateAssignAngleColor = 0;
    bool rotateAssignAngleColorTransparent = false;
    Decimal rotateAngleH{0};
    Decimal rotateAngleV{0};
    COLORREF rotateSlopeColor = 0;
    bool rotateSlopeColorTransparent = false;

    // Text
    bool textEnable = false;
    int textFontSize = 0;
    int textFontWeight = 0;
    wstring textFontFace;
    bool textFontItalic = false;
    bool textFontUnderline = false;
    bool textFontStrikeOut = false;
    int textFontCharSet = 0;
    COLORREF textColor = 0;
    int textColorAlpha = 0;
    Decimal textAngle{0};
    COLORREF textBackColor = 0;
    bool textNoBackColor = false;
    int textPosition = 0;
    int textOffsetX = 0;
    int textOffsetY = 0;
    wstring textText;

    // Effect
    bool effectEnable = false;
    int effectBright = 0;
    int effectPosterization = 0;
    // Stored by its keyword.
    EffectPreset effectFilter = 0;
    int effectWarmLevel = 0;
    int effectCoolLevel = 0;
    Decimal effectSaturation{0};
    int effectContrastTimes = 0;
    Decimal effectEqualizeLevelS{0};
    int effectSoftTimes = 0;
    int effectSharpTimes = 0;
    int effectPixelateSize = 0;
    int effectBlurScale = 0;
    int effectAlpha = 0;
    bool effectPreview = false;
    bool effectPreviewResize = false;

    // Appearance
    bool appearanceEnable = false;
    COLORREF appearanceBackColor = 0;
    int appearanceRgnType = 0;
    int appearanceEllipseWidth = 0;
    int appearanceEllipseHeight = 0;
    int appearanceFrameWidth = 0;
    int appearanceFrameHeight = 0;

    // Order: the effect steps in the user's order.
    wstring orderFirst;
    wstring orderSecond;
    wstring orderThird;
    wstring orderForth;
    wstring orderFifth;
    wstring orderSixth;

    // Jpeg
    bool jpegEnable = false;
    int jpegAssign = 0;
    int jpegQuality = 0;
    int jpegAssignFileSize = 0;
    bool jpegExif = false;

    // Gif
    bool gifEnable = false;
    bool gifAssignTransparentColor = false;
    COLORREF gifTransparentColor = 0;

    // Tiff
    bool tiffEnable = false;
    int tiffCompression = 0;
    bool tiffErrorDiffusion = false;
    bool tiffTransparent = false;
    bool tiffAssignTransparentColor = false;
    COLORREF tiffTransparentColor = 0;
    int tiffAlpha = 0;

    // Png
    bool pngEnable = false;
    bool pngAssignTransparentColor = false;
    COLORREF pngTransparentColor = 0;
    int pngAlpha = 0;

    // Hdp
    bool hdpEnable = false;
    int hdpAssign = 0;
    int hdpQuality = 0;
    int hdpAssignFileSize = 0;
    bool hdpLossless = false;

    // Bitmap
    bool bitmapEnable = false;
    int bitmapBpp = 0;
    int bitmapPal8 = 0;
    int bitmapPal4 = 0;
    bool bitmapErrorDiffusion = false;

    // Rename
    bool renameEnable = false;
    wstring renameDefinition;
    int renameIndexBase = 0;
    int renameIndexIncrement = 0;
    int renameIndexPadding = 0;

    // Filter
    bool filterEnable = false;
    int filterType = 0;
    int filterNameLength = 0;

    // OutputExt: one extension without a dot per output format, in format index order.
    bool outputExtEnable = false;
    wstringArray outputExts;

    // Spi: the plug-in paths, in the order they are tried.
    wstringArray spiPaths;

    // Applications
    ViewerEntries applications;

private:
    // Positions in the section-name list.
    enum Section {
        WindowSection,
        FileSection,
        EditSection,
        ViewSection,
        CommandSection,
        TrimmingSection,
        ResizeSection,
        TextSection,
        RotateSection,
        EffectSection,
        AppearanceSection,
        OrderSection,
        JpegSection,
        GifSection,
        TiffSection,
        PngSection,
        HdpSection,
        BitmapSection,
        RenameSection,
        FilterSection,
        OutputExtSection,
        SpiSection,
        ApplicationsSection,
        SectionCount
    };

    void loadFile(const wstring& rootName, const wstring& file, HMODULE resourceModule, Mutex* fileGuard, bool userFile,
                  bool conversionOnly);
    DWORD readInto(ISetting& store, const SettingsFileBytes& bytes) const;
    bool holdsSettings(const ISetting& store) const;
    void requireStorable(ISetting& imported, const wstring& rootName, HMODULE resourceModule) const;
    void keepUnreadableFile(const wstring& file, const SettingsFileBytes& bytes, Mutex* fileGuard);
    void moveUnreadableFileAside();
    void exchange(SettingExchange& exchange, bool conversionOnly);
    void exchangeWindow(SettingExchange& exchange);
    void exchangeFile(SettingExchange& exchange);
    void exchangeView(SettingExchange& exchange);
    void exchangeTrimming(SettingExchange& exchange);
    void exchangeResize(SettingExchange& exchange);
    void exchangeText(SettingExchange& exchange);
    void exchangeRotate(SettingExchange& exchange);
    void exchangeEffect(SettingExchange& exchange);
    void exchangeAppearance(SettingExchange& exchange);
    void exchangeOrder(SettingExchange& exchange);
    void exchangeFormats(SettingExchange& exchange);
    void exchangeRename(SettingExchange& exchange);
    void exchangeFilter(SettingExchange& exchange);
    void exchangeOutputExt(SettingExchange& exchange);
    void exchangeSpi(SettingExchange& exchange);
    void exchangeApplications(SettingExchange& exchange);

    wstring path;
    wstringArray sections;
    // The settings file that could not be read while it still waits to be kept aside, and its new name.
    wstring unreadableFile;
    wstring keptAsideFile;
    DWORD unopenedFileError = ERROR_SUCCESS;
    // Whether the settings file held Window/UiFontFaces, so that a save keeps the user's value.
    bool uiFontFacesStored = false;
};

// A new settings store for the file, owned by the caller: the INI store for a name ending in ".ini" (lower case
// only), the XML store with the root element rootName otherwise. An empty root name throws Exception 87.
ISetting* createSettingStore(const wstring& rootName, const wstring& path);

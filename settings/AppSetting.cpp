#include "settings/AppSetting.h"
#include <memory>
#include <new>
#include <optional>
#include "foundation/FileSystem.h"
#include "foundation/Mutex.h"
#include "foundation/Path.h"
#include "foundation/SettingPProfile.h"
#include "foundation/XmlSetting.h"
#include "imaging/TemporaryOutputFile.h"
#include "settings/SettingExchange.h"
#include "settings/SettingsFileBytes.h"

namespace {

const wchar_t sectionNames[] = L"Window/File/Edit/View/Command/Trimming/Resize/Text/Rotate/Effect/Appearance/Order/"
                               L"Jpeg/Gif/Tiff/Png/Hdp/Bitmap/Rename/Filter/OutputExt/Spi/Applications";

// GDI+ EncoderValue numbers of the TIFF compressions.
constexpr int CompressionLZW = 2;
constexpr int CompressionCCITT3 = 3;

// Whether the file read into the store has a key in the section.
bool hasKeys(const ISetting& store, const wstring& section)
{
    if (auto* xml = dynamic_cast<const XmlSetting*>(&store))
        return xml->hasKeys(section);
    if (auto* ini = dynamic_cast<const SettingPProfile*>(&store))
        return ini->hasKeys(section);
    return false;
}

// A settings file that is missing means a first start, and one whose bytes are no settings file is kept
// aside. Any other failure (a sync client or a scanner holding the file, access denied) says nothing of what
// the file holds, so the user's file stays where it is.
bool isUnopened(DWORD error)
{
    return error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
           error != ERROR_INVALID_DATA;
}

void createMissingFolder(const wstring& file)
{
    wstring folder = Path(file).getDirectory();
    if (!isDirectory(folder))
        createDirectory(folder);
}

// The INI store writes at every key: it works on a copy of the file, so that what the file holds besides the
// settings stays.
std::unique_ptr<ISetting> iniStoreOnCopy(const wstring& file, const wchar_t* copy)
{
    if (!CopyFileW(file.buffer(), copy, FALSE) && GetLastError() != ERROR_FILE_NOT_FOUND)
        Exception::throwLastError();
    std::unique_ptr<ISetting> store(new (std::nothrow) SettingPProfile(copy));
    if (!store)
        throw Exception(ErrorCode::NoMemory);
    return store;
}

} // namespace

AppSetting::AppSetting() = default;

AppSetting::~AppSetting() = default;

void AppSetting::setSectionsAndPath(const wstring& settingsPath)
{
    sections.split(sectionNames, L"/", false);
    path = settingsPath;
}

void AppSetting::load(const wstring& rootName, const wchar_t* explicitPath, HMODULE resourceModule, Mutex* fileGuard)
{
    if (explicitPath)
        loadFile(rootName, explicitPath, resourceModule, fileGuard, true, true);
    else
        loadFile(rootName, path, resourceModule, fileGuard, false, false);
}

void AppSetting::loadWhole(const wstring& rootName, const wstring& file, HMODULE resourceModule, Mutex* fileGuard)
{
    loadFile(rootName, file, resourceModule, fileGuard, true, false);
}

// A first start has no settings file yet and takes the defaults. A file of the user's that is missing or
// unreadable would reset the settings and look like success, so it fails before anything changes.
void AppSetting::loadFile(const wstring& rootName, const wstring& file, HMODULE resourceModule, Mutex* fileGuard,
                          bool userFile, bool conversionOnly)
{
    SettingsFileBytes bytes(file, fileGuard);
    std::unique_ptr<ISetting> store(createSettingStore(rootName, file));
    DWORD error = readInto(*store, bytes);
    if (error != ERROR_SUCCESS && userFile)
        throw Exception(static_cast<int>(error));
    if (!userFile) {
        unreadableFile = L"";
        keptAsideFile = L"";
        unopenedFileError = isUnopened(error) ? error : ERROR_SUCCESS;
        // The user's file is there but cannot be read: the defaults stand in, and the file is kept.
        if (error == ERROR_INVALID_DATA)
            keepUnreadableFile(file, bytes, fileGuard);
    }
    if (conversionOnly)
        requireStorable(*store, rootName, resourceModule);
    SettingExchange loading(*store, true, rootName, resourceModule);
    exchange(loading, conversionOnly);
}

// An imported value that the settings file cannot hold would make every later save fail, so the import is
// refused whole, before the record changes: a record of its own takes the import and is saved into a store of
// the settings file's kind in memory. An INI store writes its file at every key, so its own save refuses.
void AppSetting::requireStorable(ISetting& imported, const wstring& rootName, HMODULE resourceModule) const
{
    std::unique_ptr<ISetting> settingsStore(createSettingStore(rootName, path));
    auto* xml = dynamic_cast<XmlSetting*>(settingsStore.get());
    if (!xml)
        return;
    AppSetting trial;
    trial.setSectionsAndPath(path);
    SettingExchange loading(imported, true, rootName, resourceModule);
    trial.exchange(loading, true);
    SettingExchange saving(*xml, false, rootName, nullptr);
    trial.exchange(saving, true);
}

void AppSetting::save(const wstring& rootName, const wchar_t* explicitPath, UnopenedFile unopened)
{
    if (!explicitPath && unopenedFileError != ERROR_SUCCESS && unopened == UnopenedFile::Keep)
        throw Exception(static_cast<int>(unopenedFileError));
    wstring file = explicitPath ? wstring(explicitPath) : path;
    createMissingFolder(file);
    if (!explicitPath)
        moveUnreadableFileAside();
    replaceThroughTemporaryFile(file.buffer(), [&](const wchar_t* temporary) {
        std::unique_ptr<ISetting> store(createSettingStore(rootName, file));
        auto* xml = dynamic_cast<XmlSetting*>(store.get());
        if (!xml)
            store = iniStoreOnCopy(file, temporary);
        SettingExchange saving(*store, false, rootName, nullptr);
        exchange(saving, false);
        if (xml)
            xml->save(temporary);
    });
    if (!explicitPath)
        unopenedFileError = ERROR_SUCCESS;
}

// Gives ERROR_SUCCESS when the store holds settings of the file's bytes, otherwise the reason it does not.
DWORD AppSetting::readInto(ISetting& store, const SettingsFileBytes& bytes) const
{
    if (bytes.error() != ERROR_SUCCESS)
        return bytes.error();
    if (auto* xml = dynamic_cast<XmlSetting*>(&store)) {
        if (!xml->load(bytes.data(), bytes.length(), &sections))
            return ERROR_INVALID_DATA;
    } else if (auto* ini = dynamic_cast<SettingPProfile*>(&store)) {
        ini->read(bytes.data(), bytes.length());
    }
    return holdsSettings(store) ? ERROR_SUCCESS : ERROR_INVALID_DATA;
}

// An empty file, any other program's file, or one with none of the record's sections, holds none; of a file
// that holds some, the keys it lacks take their defaults as for any other file.
bool AppSetting::holdsSettings(const ISetting& store) const
{
    for (int i = 0; i < sections.count(); ++i) {
        if (hasKeys(store, sections.at(i)))
            return true;
    }
    return false;
}

void AppSetting::keepUnreadableFile(const wstring& file, const SettingsFileBytes& bytes, Mutex* fileGuard)
{
    std::optional<MutexLock> hold;
    if (fileGuard)
        hold.emplace(*fileGuard);
    // Another start of the program may have saved over the file since it was read: that file is no one's to
    // keep aside.
    if (!SettingsFileBytes(file, nullptr).sameAs(bytes))
        return;
    unreadableFile = file;
    keptAsideFile = Path(file + L".unreadable").makeUnique(L"_").getPath();
    try {
        moveUnreadableFileAside();
    } catch (const Exception&) {
        // The file may be held open by someone for a moment; the save tries again.
    }
}

void AppSetting::moveUnreadableFileAside()
{
    if (unreadableFile.isEmpty())
        return;
    if (!MoveFileExW(unreadableFile.buffer(), keptAsideFile.buffer(), 0)) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            Exception::throwLastError();
        // Gone meanwhile: nothing to keep.
        keptAsideFile = L"";
    }
    unreadableFile = L"";
}

void AppSetting::deleteSettingsFile()
{
    if (!DeleteFileW(path.buffer()))
        Exception::throwLastError();
    unopenedFileError = ERROR_SUCCESS;
}

int AppSetting::tiffCompressionEncoderValue() const
{
    if (!tiffEnable || tiffCompression < 1 || tiffCompression > 4)
        return CompressionLZW;
    return CompressionCCITT3 + tiffCompression - 1;
}

bool AppSetting::isBilevelTiffCompression() const
{
    return tiffEnable && isBilevelCompressionChoice(tiffCompression);
}

bool AppSetting::isBilevelCompressionChoice(int compression)
{
    return compression >= 1 && compression <= 3;
}

ISetting* createSettingStore(const wstring& rootName, const wstring& path)
{
    if (rootName.isEmpty())
        Exception::throwInvalidArgument();
    if (path.endsWith(L".ini")) {
        ISetting* ini = new (std::nothrow) SettingPProfile(path.buffer());
        if (!ini)
            throw Exception(ErrorCode::NoMemory);
        return ini;
    }
    std::unique_ptr<XmlSetting> xml(new (std::nothrow) XmlSetting());
    if (!xml)
        throw Exception(ErrorCode::NoMemory);
    xml->setValueMode(XmlValueMode::Auto);
    xml->setRootElementName(rootName);
    return xml.release();
}

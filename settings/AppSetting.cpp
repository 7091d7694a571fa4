#include "settings/AppSetting.h"
#include <memory>
#include <new>
#include "foundation/FileSystem.h"
#include "foundation/Path.h"
#include "foundation/SettingPProfile.h"
#include "foundation/XmlSetting.h"
#include "settings/SettingExchange.h"

namespace {

const wchar_t sectionNames[] = L"Window/File/Edit/View/Command/Trimming/Resize/Text/Rotate/Effect/Appearance/Order/"
                               L"Jpeg/Gif/Tiff/Png/Hdp/Bitmap/Rename/Filter/OutputExt/Spi/Applications";

// GDI+ EncoderValue numbers of the TIFF compressions.
constexpr int CompressionLZW = 2;
constexpr int CompressionCCITT3 = 3;

// Reads the file into the store when it is XML (the INI store reads at every access). Gives ERROR_SUCCESS when
// the store holds the file's settings, otherwise the reason it does not.
DWORD fillStore(ISetting& store, const wstring& file)
{
    DWORD attributes = GetFileAttributesW(file.buffer());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ERROR_ACCESS_DENIED;
    auto* xml = dynamic_cast<XmlSetting*>(&store);
    if (xml && !xml->load(file))
        return ERROR_INVALID_DATA;
    return ERROR_SUCCESS;
}

void createMissingFolder(const wstring& file)
{
    wstring folder = Path(file).getDirectory();
    if (!isDirectory(folder))
        createDirectory(folder);
}

} // namespace

AppSetting::AppSetting() = default;

AppSetting::~AppSetting() = default;

void AppSetting::setSectionsAndPath(const wstring& settingsPath)
{
    sections.split(sectionNames, L"/", false);
    path = settingsPath;
}

void AppSetting::load(const wstring& rootName, const wchar_t* explicitPath, HMODULE resourceModule)
{
    wstring file = explicitPath ? wstring(explicitPath) : path;
    std::unique_ptr<ISetting> store(createSettingStore(rootName, file));
    // A first start has no settings file yet and takes the defaults. An import of a file that is missing or
    // unreadable would reset the conversion settings and look like success, so it fails before anything changes.
    DWORD error = fillStore(*store, file);
    if (error != ERROR_SUCCESS && explicitPath)
        throw Exception(static_cast<int>(error));
    SettingExchange loading(*store, true, rootName, resourceModule);
    exchange(loading, explicitPath != nullptr);
}

void AppSetting::save(const wstring& rootName, const wchar_t* explicitPath)
{
    wstring file = explicitPath ? wstring(explicitPath) : path;
    std::unique_ptr<ISetting> store(createSettingStore(rootName, file));
    // The INI store writes at every key, so the folder must be there first.
    createMissingFolder(file);
    SettingExchange saving(*store, false, rootName, nullptr);
    exchange(saving, false);
    if (auto* xml = dynamic_cast<XmlSetting*>(store.get()))
        xml->save(file);
}

void AppSetting::deleteSettingsFile()
{
    if (!DeleteFileW(path.buffer()))
        Exception::throwLastError();
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

#pragma once
#include <windows.h>
#include "foundation/ResourceLoader.h"
#include "foundation/wstring.h"
#include "foundation/wstringArray.h"

class ICanceller;
class MessageWriter;
class ResourceUpdater;

// Makes a screen saver that plays a list of pictures: a copy of the player that korvilane carries (the cabinet
// "Bin" 5001), with the pictures added to its resources as JPEG files no larger than a limit, and their count.
// The saver is written under a temporary name beside the target and takes the target's name only when it is
// complete, so a build that is stopped or fails leaves no saver of its own behind and the file that was there
// before stays as it was. The resources go to the temporary file after every 50 pictures, with the count 0, so
// that one update never holds the whole list; the count of the whole list comes with the last.
// COM and GDI+ must be running on the calling thread.
class ScreenSaverBuilder {
public:
    static constexpr int Written = 0;
    static constexpr int Cancelled = -1;

    // The limit is the largest width and height of a stored picture. The player is read from `playerModule`, a
    // reference to a module that the builder takes over and releases; null stands for the program's own file.
    // Without a log nothing is written about the build; a null canceller never stops it.
    ScreenSaverBuilder(int maxImageSize, MessageWriter* log, ICanceller* canceller, HMODULE playerModule = nullptr);
    ScreenSaverBuilder(const ScreenSaverBuilder&) = delete;
    ScreenSaverBuilder& operator=(const ScreenSaverBuilder&) = delete;
    virtual ~ScreenSaverBuilder() = default;

    // Written, or Cancelled when the canceller asked to stop. An error is written to the log and thrown: an
    // Exception with the system's error when the target cannot be replaced (found before the first picture),
    // its folder takes no file, the first resource update cannot start or the saver cannot take the target's
    // name, and Exception 8 when memory runs out; an ApplicationException with the text "E0025" for the rest.
    int build(const wstring& outputPath, const wstringArray& pictures);

    // The size a picture is stored at: larger ones fitted into limit x limit with their proportions kept.
    static SIZE fittedSize(int width, int height, int limit);
    // Writes the count as string IDS_PICTURE_COUNT of the saver and commits the update. Failure:
    // ApplicationException "E0025".
    static void writePictureCount(ResourceUpdater& updater, int count);

private:
    int addPictures(const wstring& path, const wstringArray& pictures);
    void copyPlayer(const wstring& path);
    void addPicture(ResourceUpdater& updater, const wstring& picture, int index);
    void write(const wstring& text);
    void writeStart(int pictureCount);
    void writeEnd(const wstring& outputPath, int result);
    void writeFailure();

    int maxImageSize;
    MessageWriter* log;
    ICanceller* canceller;
    ResourceLoader player;
};

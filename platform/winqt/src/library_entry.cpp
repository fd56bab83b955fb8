// The entry points a host finds with dlsym after loading this library on demand.
#include "winqt.h"

bool vrxwinqtDisplayAvailable(std::wstring* why) { return winQtDisplayAvailable(why); }

WinWindowedUiBackend* vrxwinqtCreateBackend(bool offscreen, const std::string* pictureFolder, std::wstring* why) {
    std::wstring error;
    std::unique_ptr<WinQtUiBackend> backend = WinQtUiBackend::create(offscreen, error);
    if (!backend) {
        if (why) *why = error;
        return nullptr;
    }
    if (pictureFolder) backend->setPictureFolder(*pictureFolder);
    return backend.release();
}

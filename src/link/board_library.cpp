#include "link/board_api.h"
#include "link/usb_functions.h"

#include <QDir>
#include <QLibrary>

namespace {

class LibraryBoard : public BoardApi {
public:
    LibraryBoard(std::unique_ptr<QLibrary> lib, LoadFirmWareFn load, VendorIORequestFn request)
        : lib_(std::move(lib)), load_(load), request_(request) {}
    int16_t LoadFirmWare(uint8_t* path) override { return load_(path); }
    int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction, int16_t length,
                            uint8_t* buffer) override {
        return request_(request, value, index, direction, length, buffer);
    }

private:
    std::unique_ptr<QLibrary> lib_;
    LoadFirmWareFn load_;
    VendorIORequestFn request_;
};

}  // namespace

std::unique_ptr<BoardApi> LoadBoardLibrary(const QString& folder) {
    auto lib = std::make_unique<QLibrary>(folder + QDir::separator() + QLatin1String(kBoardLibraryFile));
    if (!lib->load()) return nullptr;
    auto load = reinterpret_cast<LoadFirmWareFn>(lib->resolve("LoadFirmWare"));
    auto request = reinterpret_cast<VendorIORequestFn>(lib->resolve("VendorIORequest"));
    if (!load || !request) return nullptr;
    return std::make_unique<LibraryBoard>(std::move(lib), load, request);
}

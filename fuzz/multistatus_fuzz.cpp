// The multistatus reader of the sync client: any bytes a server might answer.
#include "sync/multistatus.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<quill::DavResponse> responses;
    quill::ReadMultistatus(QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(size)),
                           responses);
    return 0;
}

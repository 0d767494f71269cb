#pragma once
// A file compiled into the program by the build's folder embed step
// (kestrov_embed_folder): its name without the folder, and its bytes.

#include <cstddef>

struct EmbeddedFile {
    const char* name;  // null in the entry that ends a table
    const unsigned char* bytes;
    std::size_t size;
};

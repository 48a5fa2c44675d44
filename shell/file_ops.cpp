#include "file_ops.h"

// What CreateFileW can set on a new file. INVALID_FILE_ATTRIBUTES must never
// get through: it would switch on flags such as delete-on-close.
static const DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

DWORD CreationAttributesOf(const wchar_t* path)
{
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FILE_ATTRIBUTE_NORMAL;
    attributes &= kCopiedAttributes;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

void DeleteFileForce(const wchar_t* path)
{
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path);
}

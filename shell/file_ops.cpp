#include "file_ops.h"

#include "qoc.h"

DWORD CreationAttributesOf(const wchar_t* path)
{
    return QocCreationAttributes(GetFileAttributesW(path));
}

void DeleteFileForce(const wchar_t* path)
{
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path);
}

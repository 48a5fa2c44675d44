// A set of texts in ascending ordinal order, each held once.
#include "qoc.h"

#include <limits.h>

#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

// std::wstring compares its UTF-16 units as unsigned numbers: ordinal order.
struct QOC_AVS {
    std::map<std::wstring, std::pair<uintptr_t, uintptr_t>> entries;
};

HQOCAVS QocAvsCreateW(int unique, int reserved1, int reserved2)
{
    (void)reserved1;
    (void)reserved2;
    if (unique != 1) return nullptr;   // only sets of unique texts exist
    return new (std::nothrow) QOC_AVS;
}

int QocAvsInsNodeW(HQOCAVS set, const wchar_t* text, uintptr_t data1, uintptr_t data2)
{
    if (set == nullptr || text == nullptr) return 0;
    if (set->entries.size() >= INT_MAX) return 0;
    try {
        // A text already held keeps its first data.
        set->entries.emplace(text, std::make_pair(data1, data2));
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    } catch (const std::length_error&) {
        return 0;
    }
}

int QocAvsGetCount(HQOCAVS set)
{
    return set == nullptr ? 0 : (int)set->entries.size();
}

QOC_AVS_ENTRY* QocAvsCreatePtrArrW(HQOCAVS set, int reserved1, int reserved2)
{
    (void)reserved1;
    (void)reserved2;
    if (set == nullptr) return nullptr;
    // At least one element, so that an empty set also gives an array.
    size_t count = set->entries.size();
    QOC_AVS_ENTRY* array = new (std::nothrow) QOC_AVS_ENTRY[count > 0 ? count : 1];
    if (array == nullptr) return nullptr;
    size_t i = 0;
    for (const auto& entry : set->entries) {
        array[i].text = entry.first.c_str();
        array[i].data1 = entry.second.first;
        array[i].data2 = entry.second.second;
        ++i;
    }
    return array;
}

void QocAvsReleasePtrArrW(QOC_AVS_ENTRY* array)
{
    delete[] array;
}

void QocAvsDelete(HQOCAVS set)
{
    delete set;
}

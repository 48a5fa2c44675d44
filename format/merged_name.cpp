#include "merged_name.h"

#include "piece_names.h"

namespace sundrel {

template <class C>
std::basic_string<C> MergedFileName(std::basic_string_view<C> dividedName, const StampTime& t)
{
    const int fields[6] = {t.year % 100, t.month, t.day, t.hour, t.minute, t.second};
    std::basic_string<C> name(StemOf(dividedName));
    name += C('(');
    for (int i = 0; i < 6; ++i) {
        if (i == 3)
            name += C('-');
        int value = fields[i] < 0 ? 0 : fields[i] % 100;
        name += C('0' + value / 10);
        name += C('0' + value % 10);
    }
    name += C(')');
    name += ExtensionOf(dividedName);
    return name;
}

template std::string MergedFileName<char>(std::string_view, const StampTime&);
template std::wstring MergedFileName<wchar_t>(std::wstring_view, const StampTime&);

}  // namespace sundrel

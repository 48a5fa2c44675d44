#include "mail_subject.h"

namespace sundrel {

namespace {

template <class C>
bool IsNumberTag(const std::basic_string<C>& text, size_t pos)
{
    return text[pos] == C('&') && (text[pos + 1] == C('N') || text[pos + 1] == C('n')) &&
           text[pos + 2] == C('&');
}

template <class C>
std::basic_string<C> Widen(const std::string& ascii)
{
    return std::basic_string<C>(ascii.begin(), ascii.end());
}

}  // namespace

template <class C>
void RewriteMailSubject(std::basic_string<C>& subject, unsigned number, unsigned count)
{
    const std::basic_string<C> numberText =
        Widen<C>(std::to_string(number) + " / " + std::to_string(count));
    // The number text holds neither "&" nor "N", so no new tag appears.
    std::basic_string<C> tagged;
    for (size_t pos = 0; pos < subject.size();) {
        if (pos + 3 <= subject.size() && IsNumberTag(subject, pos)) {
            tagged += numberText;
            pos += 3;
        } else {
            tagged += subject[pos++];
        }
    }
    subject.clear();
    for (C c : tagged) {
        if (c == C(' '))
            subject += Widen<C>("%20");
        else
            subject += c;
    }
}

template void RewriteMailSubject<char>(std::string&, unsigned, unsigned);
template void RewriteMailSubject<wchar_t>(std::wstring&, unsigned, unsigned);

}  // namespace sundrel

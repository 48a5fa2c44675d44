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

template <class C>
std::basic_string<C> NumberText(unsigned number, unsigned count)
{
    return Widen<C>(std::to_string(number) + " / " + std::to_string(count));
}

// One pass over the subject: whatever numberText holds never forms a new tag.
template <class C>
void Rewrite(std::basic_string<C>& subject, const std::basic_string<C>& numberText)
{
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

}  // namespace

template <class C>
void RewriteMailSubject(std::basic_string<C>& subject, unsigned number, unsigned count)
{
    Rewrite(subject, NumberText<C>(number, count));
}

template <class C>
void RewriteRecoveryMailSubject(std::basic_string<C>& subject, std::basic_string_view<C> label,
                                unsigned index, unsigned total)
{
    std::basic_string<C> numberText(label);
    if (!numberText.empty())
        numberText += C(' ');
    Rewrite(subject, numberText + NumberText<C>(index, total));
}

template void RewriteMailSubject<char>(std::string&, unsigned, unsigned);
template void RewriteMailSubject<wchar_t>(std::wstring&, unsigned, unsigned);
template void RewriteRecoveryMailSubject<char>(std::string&, std::string_view, unsigned, unsigned);
template void RewriteRecoveryMailSubject<wchar_t>(std::wstring&, std::wstring_view, unsigned,
                                                  unsigned);

}  // namespace sundrel

#include "language/ScriptText.h"

namespace ScriptText {

QString withCrLf(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.count(u'\n') + text.count(u'\r'));
    forEachLine(text, LoneLf::EndsLine, [&](const Line& line) {
        out.append(text.mid(line.start, line.length));
        if (line.breakLength != 0)
            out.append(CrLf);
    });
    return out;
}

}  // namespace ScriptText

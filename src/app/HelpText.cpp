#include "app/HelpText.h"

#include "controls/Simple.h"
#include "platform/TextCodec.h"

namespace app {

void HelpText::load() {
    const QString path = platform::shippedFile(m_files, QStringLiteral("Tavrel.aide"));
    // A missing help file is not worth a message: the tab simply stays empty.
    if (!platform::FileExists(m_files, path))
        return;
    const auto bytes = m_files.readAll(path);
    if (!bytes)
        return;
    m_box.setText(platform::decodeText(*bytes));
}

} // namespace app

#include "support/recording_host.h"

#include "platform/code_page.h"

namespace qv::testing {

void RecordingHost::showMessage(MessageKind kind, std::string_view text)
{
    messages.push_back({kind, CodePage::gbk().toUtf8(text), {}, {}});
}

void RecordingHost::showMessageWithDetails(MessageKind kind, std::string_view text, std::string_view details)
{
    messages.push_back({kind, CodePage::gbk().toUtf8(text), CodePage::gbk().toUtf8(details), {}});
}

void RecordingHost::showTitledError(std::string_view title, std::string_view text)
{
    messages.push_back({MessageKind::Error, CodePage::gbk().toUtf8(text), {}, CodePage::gbk().toUtf8(title)});
}

bool RecordingHost::ask(std::string_view question)
{
    questions.push_back(CodePage::gbk().toUtf8(question));
    return answer;
}

std::optional<std::string> RecordingHost::chooseSavePath(std::string_view)
{
    ++saveDialogs;
    return savePath;
}

void RecordingHost::processEvents()
{
    ++eventCalls;
    if (onProcessEvents) onProcessEvents();
}

void RecordingHost::reportProgress(std::int64_t done, std::int64_t)
{
    lastProgress = done;
}

std::vector<std::string> RecordingHost::messageTexts() const
{
    std::vector<std::string> texts;
    for (const Message& m : messages) texts.push_back(m.text);
    return texts;
}

} // namespace qv::testing

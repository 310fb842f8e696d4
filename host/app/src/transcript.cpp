#include "hostapp/transcript.h"

namespace hostapp {

std::unique_ptr<Transcript> Transcript::toFile(const std::string& path, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) {
        error = "cannot write the transcript " + path;
        return nullptr;
    }
    return std::unique_ptr<Transcript>(new Transcript(f, true));
}

std::unique_ptr<Transcript> Transcript::toStandardOutput() {
    return std::unique_ptr<Transcript>(new Transcript(stdout, false));
}

Transcript::Transcript(std::FILE* file, bool owned) : m_file(file), m_owned(owned) {
    cadhost::CommandLineLog::instance().addListener(this);
}

Transcript::~Transcript() {
    cadhost::CommandLineLog::instance().removeListener(this);
    if (!m_endsWithNewline)
        std::fputc('\n', m_file);
    std::fflush(m_file);
    if (m_owned)
        std::fclose(m_file);
}

void Transcript::logText(std::string_view text, cadhost::LogKind) {
    if (text.empty())
        return;
    std::fwrite(text.data(), 1, text.size(), m_file);
    std::fflush(m_file);
    m_endsWithNewline = text.back() == '\n';
}

} // namespace hostapp

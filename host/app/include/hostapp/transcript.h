#pragma once
// Writes the command-line history as it happens to a file or standard output.

#include "cadhost/command_log.h"

#include <cstdio>
#include <memory>
#include <string>

namespace hostapp {

class Transcript : public cadhost::LogListener {
public:
    // To a file (created or replaced); null with the reason when it cannot be opened.
    static std::unique_ptr<Transcript> toFile(const std::string& path, std::string& error);
    static std::unique_ptr<Transcript> toStandardOutput();
    ~Transcript() override;
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    void logText(std::string_view text, cadhost::LogKind kind) override;

private:
    Transcript(std::FILE* file, bool owned);
    std::FILE* m_file;
    bool m_owned;
    bool m_endsWithNewline = true;
};

} // namespace hostapp

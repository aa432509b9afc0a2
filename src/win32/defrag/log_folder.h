#pragma once

#include <string>

#include "core/defrag/run_log.h"

namespace qm::win {

// The run log's folder, %LOCALAPPDATA%\Quillmere, made when first written to. UTF-8 files.
class LocalLogFolder final : public LogFolder {
  public:
    // `folder` replaces the user's folder (tests); empty for the real one.
    explicit LocalLogFolder(std::string folder = {});

    std::uint64_t SizeOf(std::string_view file) override;
    std::string Read(std::string_view file) override;
    std::string ReadTail(std::string_view file, std::uint64_t maxBytes) override;
    bool Write(std::string_view file, std::string_view text) override;
    bool Append(std::string_view file, std::string_view text) override;

    const std::string& Folder() const { return folder_; }

  private:
    std::wstring PathOf(std::string_view file) const;
    bool MakeFolder() const;

    std::string folder_;
};

}  // namespace qm::win

// Bytes as a session document: a document or an error, never a crash. A document read from a
// file and from memory must agree, and its compact text must read back to the same text.
#include <cstdio>
#include <string>

#include "fuzz_support.hpp"
#include "json/json_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static qm::SessionLoader loader;
  static const qm::fuzz::ScratchFolder scratch("qm-fuzz-loader");
  static const std::string path = (scratch.path() / "session.json").string();
  const std::string_view text = qm::fuzz::bytes_of(data, size);

  auto parsed = loader.parse(text);
  if (parsed) {
    const std::string compact = qm::compact_json((*parsed)->root);
    auto again = qm::parse_document(compact);
    if (!again || qm::compact_json((*again)->root) != compact) {
      qm::fuzz::broken("compact text does not read back to itself");
    }
  }

  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size() ||
      std::fclose(file) != 0) {
    qm::fuzz::broken("cannot write the scratch file");
  }
  auto loaded = loader.load(path);
  const bool schema_ok = parsed && qm::check_schema((*parsed)->root).has_value();
  if (loaded.has_value() != schema_ok) {
    qm::fuzz::broken("loading the file and parsing its bytes disagree");
  }
  if (loaded && qm::compact_json((*loaded)->root) != qm::compact_json((*parsed)->root)) {
    qm::fuzz::broken("the file and its bytes load to different documents");
  }
  return 0;
}

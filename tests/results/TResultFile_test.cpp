#include "results/TResultFile.h"
#include "TestFolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tavora {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class ResultFile : public ::testing::Test {
 protected:
  ::tavora::test::TTempFolder folder_{"tavora_resultfile"};
  const fs::path& dir_ = folder_.Path();
};

// Pieces of every size, around and beyond the buffer, arrive whole and in order.
TEST_F(ResultFile, PiecesOfEverySizeArriveInOrder) {
  const fs::path target = dir_ / "r.csv";
  std::string expected = "\xEF\xBB\xBF";
  {
    TResultFile file(target);
    const std::size_t sizes[] = {1,
                                 7,
                                 TResultFile::kMaxReserve - 1,
                                 TResultFile::kMaxReserve,
                                 3,
                                 TResultFile::kCapacity - 2,
                                 TResultFile::kCapacity + 5,
                                 2};
    char fill = 'a';
    for (const std::size_t n : sizes) {
      const std::string piece(n, fill++);
      file.Write(piece);
      expected += piece;
      char* p = file.Reserve(TResultFile::kMaxReserve);
      for (int i = 0; i < 5; ++i) *p++ = static_cast<char>('0' + i);
      file.Advance(p);
      expected += "01234";
      file.EndLine();
      expected += "\r\n";
    }
    // UTF-16 text: a long ASCII run, then other scripts; quotes inside a field doubled.
    const std::u16string ascii(TResultFile::kMaxReserve + 10, u'x');
    file.Write(ascii + u"Ré\u4E2D");
    expected += std::string(ascii.size(), 'x') + "R\xC3\xA9\xE4\xB8\xAD";
    file.WriteQuoted(u"say \"Ré\"");
    expected += "\"say \"\"R\xC3\xA9\"\"\"";
    file.WriteQuoted(std::string_view("\"a\""));
    expected += "\"\"\"a\"\"\"";
    // Safe fields: an apostrophe before the four formula signs only.
    for (const std::u16string_view f : {u"=1+\"2\"", u"+a", u"-a", u"@a", u"a=", u"'a", u""})
      file.WriteQuotedSafe(f);
    expected += "\"'=1+\"\"2\"\"\"\"'+a\"\"'-a\"\"'@a\"\"a=\"\"'a\"\"\"";
    EXPECT_FALSE(fs::exists(target));
    file.Commit();
  }
  EXPECT_EQ(ReadAll(target), expected);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ResultFile, UncommittedFileLeavesNothing) {
  {
    TResultFile file(dir_ / "r.csv");
    file.Write(std::string(TResultFile::kCapacity * 2, 'x'));
  }
  EXPECT_TRUE(fs::is_empty(dir_));
}

}  // namespace
}  // namespace tavora

#pragma once
// A save whose first temporary names are all taken by what a test planted there (links to a file named
// "victim", a user's own file, ...), for both file adapters' tests: none of it may be opened, written
// through or removed, and the save takes the next free name.

#include <cstdint>
#include <set>
#include <string>

#include "TempFolder.h"
#include "platform/FileIo.h"

namespace zapnix {

class TakenNamesTest : public TempFolderTest {
protected:
    // Saves "[s]\r\n" to `path`, the names of the first `taken` salts being taken; `usersOwn` is the
    // planted file that holds "the user's own". A file under the name older saves used stays too.
    void ExpectASaveBesideWhatIsPlanted(const std::string& path, std::uint32_t taken, const std::string& usersOwn) {
        Store(PathOf("quorb.in~"), "a name older saves used");
        const std::set<std::string> before = FolderNames();
        taken_ = taken;
        next_ = 0;
        FileReplacement save(path, NextSalt);
        ASSERT_TRUE(save.Started());
        ASSERT_TRUE(save.Write("[s]\r\n") && save.Commit());
        EXPECT_EQ(Load(path), "[s]\r\n");
        EXPECT_EQ(Load(PathOf("victim")), "precious");
        EXPECT_EQ(Load(usersOwn), "the user's own");
        EXPECT_EQ(Load(PathOf("quorb.in~")), "a name older saves used");
        std::set<std::string> after = FolderNames();
        after.erase("quorb.ini");
        EXPECT_EQ(after, before) << "only the target is new";
    }

private:
    // The taken salts in turn, then a free one.
    static std::uint32_t NextSalt() { return next_++ % (taken_ + 1); }
    static inline std::uint32_t taken_ = 0;
    static inline std::uint32_t next_ = 0;
};

}  // namespace zapnix

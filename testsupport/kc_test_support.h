#ifndef KC_TEST_SUPPORT_H
#define KC_TEST_SUPPORT_H

// Linked into every unit test by kc_add_unit_test. Before main, the test
// executable gets a fresh scratch folder of its own under the build tree
// (scratch/<test name> beside its build files), a copy of its module's
// tests/data folder in it as "data", and that folder as its working
// directory: relative names such as "data/x.juice" or "out.txt" stay inside it.

#include <string>

// The absolute paths of the scratch folder and of the module's test data in
// the source tree (read only), with slashes.
const std::string& KC_TestScratchFolder();
const std::string& KC_TestDataFolder();

// Whole content of a file, or aMissing when it cannot be opened (missing, or
// held open without sharing on Windows).
std::string ReadWholeFile(const std::string& aFileName, const std::string& aMissing = "<missing>");
// Writes aContent as the whole file, making its folders first.
bool WriteWholeFile(const std::string& aFileName, const std::string& aContent);

// Death tests start the test program again for their statement ("threadsafe"),
// unless KC_DEATH_TEST_STYLE names another style: under qemu-user they fork
// without starting a program ("fast"), which needs no kernel support for
// 32-bit programs.
void KC_SetDeathTestStyle();

// A fresh empty folder inside the scratch folder, removed at the end.
class ScratchFolder
{
public:
	ScratchFolder();
	~ScratchFolder();
	// The path of a name inside the folder, with slashes.
	std::string Path(const std::string& aName) const { return myPath + "/" + aName; }

private:
	ScratchFolder(const ScratchFolder&);
	ScratchFolder& operator=(const ScratchFolder&);

	std::string myPath;
};

#endif

// discgen: draws the sample disc's pictures (TGA) and the menu's icons.
//   discgen PICTURE_DIR ICON_DIR FONT_DIR
#include "disc_art.h"

#include <cstdio>
#include <string>

namespace
{
const char* const ourStyleNames[] = {"primary", "secondary"};
const char* const ourLookNames[] = {"normal", "hover", "pressed", "disabled"};

bool Write(const std::string& aFileName, const std::vector<uint8_t>& aBytes)
{
	if (Disc_WriteFile(aFileName, aBytes))
		return true;
	std::fprintf(stderr, "discgen: cannot write '%s'\n", aFileName.c_str());
	return false;
}
}

int main(int argc, char** argv)
{
	if (argc != 4)
	{
		std::fputs("usage: discgen PICTURE_DIR ICON_DIR FONT_DIR\n", stderr);
		return 2;
	}
	std::string locPictures = argv[1];
	std::string locIcons = argv[2];
	std::string locFonts = argv[3];

	DiscFont locTitleFont;
	DiscFont locTextFont;
	if (!locTitleFont.Load(locFonts + "/LiberationSans-Bold.ttf") ||
	    !locTextFont.Load(locFonts + "/LiberationSans-Regular.ttf"))
	{
		std::fprintf(stderr, "discgen: the Liberation Sans fonts are not in '%s'\n", locFonts.c_str());
		return 1;
	}

	bool locOk = Write(locPictures + "/background.tga", Disc_EncodeTga(Disc_DrawBackground(&locTitleFont, &locTextFont)));
	for (int locStyle = DISC_PRIMARY; locStyle <= DISC_SECONDARY; ++locStyle)
		for (int locLook = DISC_NORMAL; locLook <= DISC_DISABLED; ++locLook)
		{
			std::string locName = locPictures + "/" + ourStyleNames[locStyle] + "_" + ourLookNames[locLook] + ".tga";
			locOk = Write(locName, Disc_EncodeTga(Disc_DrawButton(static_cast<DiscButtonStyle>(locStyle),
			                                                      static_cast<DiscButtonLook>(locLook)))) && locOk;
		}
	locOk = Write(locIcons + "/autorun_large.ico", Disc_EncodeIcon(Disc_DrawIcon(32))) && locOk;
	locOk = Write(locIcons + "/autorun_small.ico", Disc_EncodeIcon(Disc_DrawIcon(16))) && locOk;
	return locOk ? 0 : 1;
}

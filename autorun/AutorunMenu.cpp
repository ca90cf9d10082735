#include "AutorunMenu.h"

#include "AutorunButton.h"
#include "AutorunDiagnosis.h"
#include "AutorunMembers.h"
#include "DisplayBitmap.h"
#include "DisplayFont.h"
#include "DisplayPrimitives.h"
#include "Ice.h"
#include "JuiceToIce.h"
#include "KDGdi_Bitmap.h"
#include "KDGdi_Factory.h"
#include "kd_colors.h"

#include <new>

AutorunMenu* AutorunMenu::ourCurrent = NULL;
KC_LocString AutorunMenu::ourInsertDiscText;
KC_LocString AutorunMenu::ourLimitedAccessText;

namespace
{
const char* const ourSuppressionKey = "SOFTWARE\\Kestrelsoft\\SupressAutorun";
const unsigned char ourClearColor[3] = {255, 0, 255};
// A tool tip shows once the pointer has rested this long on its button.
const DWORD ourToolTipDelay = 500;
// The tool tip's distance below the pointer (the arrow's height) and its margin around the text.
const int ourToolTipDrop = 22;
const int ourToolTipPadding = 4;

DWORD WINAPI SystemClock()
{
	return GetTickCount();
}

AutorunMenu::ClockFunction ourClock = SystemClock;
}

AutorunMenu::ClockFunction AutorunMenu::SetClockFunction(ClockFunction aFunction)
{
	ClockFunction locPrevious = ourClock;
	ourClock = aFunction ? aFunction : SystemClock;
	return locPrevious;
}

AutorunMenu::AutorunMenu(HWND aWindow)
	: myFactory(NULL)
	, myBackground(NULL)
	, myDefinition(NULL)
	, myWindow(aWindow)
	, myWidth(0)
	, myHeight(0)
	, myPrimitives(NULL)
	, myFocus(-1)
	, myFocusFromKeys(false)
	, myKeyPressed(-1)
	, myTipButton(-1)
	, myTipSince(0)
	, myTipX(0)
	, myTipY(0)
	, myTipShown(false)
	, myTipHidden(false)
	, myTipLinesButton(-1)
	, myPainted(false)
	, myPaintedTip(-1)
	, myPaintedTipX(0)
	, myPaintedTipY(0)
{
	myChromaKey[0] = myChromaKey[1] = myChromaKey[2] = 0;
	myButtons.Init(10, 2);
	myPaintedLooks.Init(10, 10);
}

AutorunMenu::~AutorunMenu()
{
	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
		delete myButtons[locIndex];
	delete myBackground;
	delete myPrimitives;
	delete myFactory;
	delete myDefinition;
	if (ourCurrent == this)
		ourCurrent = NULL;
}

AutorunMenu* AutorunMenu::Create(const char* aFileName, HWND aWindow)
{
	AutorunMenu* locMenu = new (std::nothrow) AutorunMenu(aWindow);
	if (locMenu && !locMenu->Load(aFileName))
	{
		delete locMenu;
		locMenu = NULL;
	}
	ourCurrent = locMenu;
	return locMenu;
}

AutorunMenu* AutorunMenu::CreateFromDefinition(Ice* aDefinition, DisplayFactory* aFactory, HWND aWindow)
{
	AutorunMenu* locMenu = new (std::nothrow) AutorunMenu(aWindow);
	if (!locMenu)
	{
		delete aDefinition;
		delete aFactory;
	}
	else
	{
		locMenu->myDefinition = aDefinition;
		locMenu->myFactory = aFactory;
		if (!aDefinition || !aFactory || !locMenu->Build())
		{
			delete locMenu;
			locMenu = NULL;
		}
	}
	ourCurrent = locMenu;
	return locMenu;
}

void AutorunMenu::DestroyCurrent()
{
	delete ourCurrent;
	ourCurrent = NULL;
}

bool AutorunMenu::Load(const char* aFileName)
{
	if (myRegistry.KeyExists(ourSuppressionKey, HKEY_LOCAL_MACHINE))
	{
		AutorunDiagnosis::Add("the key HKEY_LOCAL_MACHINE\\%s exists: the menu is suppressed", ourSuppressionKey);
		return false;
	}

	{
		AutorunDiagnosis::ChannelCapture locCapture;
		JuiceToIce::Priv_ResetLastReSave();
		myDefinition = Ice::Load(aFileName, true);
	}
	const JuiceToIce::ReSave& locReSave = JuiceToIce::GetLastReSave();
	if (locReSave.myDone)
		AutorunDiagnosis::Add("'%s' was re-saved with its texts inline; the text it replaced is kept in '%s', and '%s' "
			"is kept as '%s' so that no text is looked up in it again",
			locReSave.myJuiceName.GetText(), locReSave.myOriginalName.GetText(), locReSave.myLanguageName.GetText(),
			locReSave.myKeptLanguageName.GetText());
	else if (locReSave.myTried)
		AutorunDiagnosis::Add("'%s' takes texts from '%s' and could not be re-saved with them inline; both files are "
			"as they were", locReSave.myJuiceName.GetText(), locReSave.myLanguageName.GetText());
	if (!myDefinition)
	{
		AutorunDiagnosis::Add("the menu definition '%s' does not load (the converter's messages are in the report file)", aFileName);
		return false;
	}

	if (!Autorun_FindMember(myDefinition, "myGui.myButtons"))
		return false;

	KDGdi_Factory* locFactory = new (std::nothrow) KDGdi_Factory(myWindow);
	myFactory = locFactory;
	if (!locFactory || !locFactory->GetMemoryDC())
	{
		AutorunDiagnosis::Add("the display factory cannot be made for the window");
		return false;
	}
	return Build();
}

bool AutorunMenu::Build()
{
	Ice* locButtons = Autorun_FindMember(myDefinition, "myGui.myButtons");
	if (!locButtons)
		return false;
	myPrimitives = myFactory->MakePrimitives();

	unsigned int locCount = locButtons->GetCount(true);
	for (unsigned int locIndex = 0; locIndex < locCount; ++locIndex)
	{
		AutorunButton* locButton = AutorunButton::Create(locButtons->GetMember(locIndex), myFactory, &myRegistry,
		                                                 myWindow);
		if (!locButton || !myButtons.Add(locButton))
		{
			delete locButton;
			AutorunDiagnosis::Add("button %u of myGui.myButtons does not load", locIndex);
			return false;
		}
	}

	myChromaKey[0] = static_cast<unsigned char>(Autorun_ReadInt(myDefinition, "myGui.myChromaKey.myR", 0));
	myChromaKey[1] = static_cast<unsigned char>(Autorun_ReadInt(myDefinition, "myGui.myChromaKey.myG", 0));
	myChromaKey[2] = static_cast<unsigned char>(Autorun_ReadInt(myDefinition, "myGui.myChromaKey.myB", 0));

	ourLimitedAccessText = Autorun_ReadLocString(myDefinition, "myGui.myLimitedAccessMessage");
	ourInsertDiscText = Autorun_ReadLocString(myDefinition, "myGui.myInsertDiscMessage");

	KC_String locBackground = Autorun_ReadString(myDefinition, "myGui.myBackgroundBitmap", "");
	myBackground = myFactory->LoadBitmapFile(locBackground);
	if (!myBackground)
	{
		AutorunDiagnosis::Add("the background bitmap '%s' does not load", static_cast<const char*>(locBackground));
		return false;
	}

	if (Autorun_ReadString(myDefinition, "myGui.myChromaKeyFlag", "") == "TRUE")
	{
		GDIBitmap::SetChromaKey(myChromaKey[0], myChromaKey[1], myChromaKey[2]);
		GDIBitmap::EnableChromaKey(true);
	}

	myWidth = myBackground->GetWidth();
	myHeight = myBackground->GetHeight();

	int locScreenWidth = GetSystemMetrics(SM_CXSCREEN);
	int locScreenHeight = GetSystemMetrics(SM_CYSCREEN);
	SetWindowPos(myWindow, NULL, locScreenWidth / 2 - myWidth / 2, locScreenHeight / 2 - myHeight / 2, myWidth,
	             myHeight, SWP_NOZORDER);

	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
	{
		AutorunButton* locButton = myButtons[locIndex];
		if (!locButton->IsEnabled())
			AutorunDiagnosis::Add("button %d \"%s\" is disabled: %s", locIndex,
			                      static_cast<const char*>(locButton->GetCaption()),
			                      static_cast<const char*>(locButton->GetDisabledReason()));
	}
	return true;
}

void AutorunMenu::Paint()
{
	int locTip = GetToolTipButton();
	myFactory->BeginFrame();
	myFactory->Clear(ourClearColor);
	myBackground->Blit(0, 0, myWidth, myHeight, 0, 0);
	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
		myButtons[locIndex]->Draw();
	DrawToolTip(locTip);
	myFactory->Present(0, 0, 0, 0);
	myFactory->EndFrame();

	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
	{
		if (locIndex < myPaintedLooks.Count())
			myPaintedLooks[locIndex] = DrawnLook(locIndex);
		else
			myPaintedLooks.Add(DrawnLook(locIndex));
	}
	myPaintedTip = locTip;
	myPaintedTipX = myTipX;
	myPaintedTipY = myTipY;
	myPainted = true;
}

int AutorunMenu::DrawnLook(int anIndex) const
{
	const AutorunButton* locButton = myButtons[anIndex];
	return locButton->IsEnabled() ? locButton->GetLook() : -1;
}

bool AutorunMenu::PaintIfChanged()
{
	bool locSame = myPainted && myPaintedLooks.Count() == myButtons.Count();
	for (int locIndex = 0; locSame && locIndex < myButtons.Count(); ++locIndex)
		locSame = myPaintedLooks[locIndex] == DrawnLook(locIndex);
	if (locSame)
	{
		int locTip = GetToolTipButton();
		locSame = locTip == myPaintedTip && (locTip < 0 || (myTipX == myPaintedTipX && myTipY == myPaintedTipY));
	}
	if (locSame)
		return false;
	Paint();
	return true;
}

int AutorunMenu::ButtonAt(int anX, int aY) const
{
	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
	{
		if (myButtons[locIndex]->HitTest(anX, aY))
			return locIndex;
	}
	return -1;
}

int AutorunMenu::OnMouseMove(int anX, int aY)
{
	// The hovered enabled button takes the focus; a focus set by keys stays
	// (and shows) while the pointer is over no enabled button. A focus that
	// the pointer gave goes when the pointer leaves the button, also onto a
	// disabled one: Enter then does nothing, as the looks show.
	int locHit = ButtonAt(anX, aY);
	if (locHit >= 0 && myButtons[locHit]->IsEnabled())
	{
		myFocus = locHit;
		myFocusFromKeys = false;
	}
	else if (!myFocusFromKeys)
		myFocus = -1;

	int locResult = AutorunButton::ACTION_NONE;
	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
	{
		AutorunButton* locButton = myButtons[locIndex];
		if (locButton->HitTest(anX, aY))
			locResult = locButton->OnHover();
		else if (locIndex == myFocus && myFocusFromKeys)
			locButton->OnHover();
		else
			locButton->OnLeave();
	}

	// The tool tip's wait starts again whenever the pointer moves before it shows.
	if (locHit != myTipButton)
	{
		myTipButton = locHit;
		myTipShown = false;
		myTipHidden = false;
		myTipSince = ourClock();
		myTipX = anX;
		myTipY = aY;
	}
	else if (!myTipShown && (anX != myTipX || aY != myTipY))
	{
		myTipSince = ourClock();
		myTipX = anX;
		myTipY = aY;
	}
	return locResult;
}

int AutorunMenu::OnMouseDown(int anX, int aY)
{
	myTipHidden = true;
	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
	{
		if (myButtons[locIndex]->HitTest(anX, aY))
			return myButtons[locIndex]->OnPress();
	}
	return AutorunButton::ACTION_NONE;
}

int AutorunMenu::OnMouseUp(int anX, int aY)
{
	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
	{
		if (myButtons[locIndex]->HitTest(anX, aY))
			return myButtons[locIndex]->OnRelease();
	}
	return AutorunButton::ACTION_NONE;
}

void AutorunMenu::OnMouseLeave()
{
	myTipButton = -1;
	myTipShown = false;
}

int AutorunMenu::NextFocus(int aStep) const
{
	int locCount = myButtons.Count();
	int locIndex = myFocus;
	for (int locTried = 0; locTried < locCount; ++locTried)
	{
		if (locIndex < 0)
			locIndex = aStep > 0 ? 0 : locCount - 1;
		else
			locIndex = (locIndex + aStep + locCount) % locCount;
		if (myButtons[locIndex]->IsEnabled())
			return locIndex;
	}
	return -1;
}

void AutorunMenu::SetFocus(int anIndex, bool aFromKeys)
{
	myFocus = anIndex;
	myFocusFromKeys = aFromKeys;
	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
	{
		if (locIndex == anIndex)
			myButtons[locIndex]->OnHover();
		else
			myButtons[locIndex]->OnLeave();
	}
}

int AutorunMenu::OnKeyDown(int aKey, bool aShift, bool aRepeat)
{
	int locStep = 0;
	switch (aKey)
	{
	case VK_TAB:
		locStep = aShift ? -1 : 1;
		break;
	case VK_RIGHT:
	case VK_DOWN:
		locStep = 1;
		break;
	case VK_LEFT:
	case VK_UP:
		locStep = -1;
		break;
	case VK_RETURN:
	case VK_SPACE:
		if (!aRepeat && myFocus >= 0)
		{
			myKeyPressed = myFocus;
			myTipHidden = true;
			return myButtons[myFocus]->OnPress();
		}
		return AutorunButton::ACTION_NONE;
	default:
		return AutorunButton::ACTION_NONE;
	}
	int locNext = NextFocus(locStep);
	if (locNext >= 0)
	{
		myKeyPressed = -1;
		myTipHidden = true;
		SetFocus(locNext, true);
	}
	return AutorunButton::ACTION_NONE;
}

int AutorunMenu::OnKeyUp(int aKey)
{
	if (aKey != VK_RETURN && aKey != VK_SPACE)
		return AutorunButton::ACTION_NONE;
	// Only the button that the key pressed is released: a key let go after a
	// press elsewhere (or before the menu came up) clicks nothing.
	int locPressed = myKeyPressed;
	myKeyPressed = -1;
	if (locPressed < 0 || locPressed != myFocus)
		return AutorunButton::ACTION_NONE;
	return myButtons[locPressed]->OnRelease();
}

DWORD AutorunMenu::GetToolTipWait() const
{
	if (myTipButton < 0 || myTipHidden || myTipShown || myButtons[myTipButton]->GetToolTip().IsEmpty())
		return INFINITE;
	DWORD locRested = ourClock() - myTipSince;
	return locRested < ourToolTipDelay ? ourToolTipDelay - locRested : 0;
}

int AutorunMenu::GetToolTipButton()
{
	if (myTipButton < 0 || myTipHidden || myButtons[myTipButton]->GetToolTip().IsEmpty())
		return -1;
	if (!myTipShown && ourClock() - myTipSince < ourToolTipDelay)
		return -1;
	myTipShown = true;
	return myTipButton;
}

void AutorunMenu::PlaceToolTip(int aPx, int aPy, int aWidth, int aHeight, int aWindowWidth, int aWindowHeight,
                               int* aLeft, int* aTop)
{
	int locLeft = aPx;
	int locTop = aPy + ourToolTipDrop;
	if (locLeft + aWidth > aWindowWidth)
		locLeft = aWindowWidth - aWidth;
	// No room below the pointer: above it.
	if (locTop + aHeight > aWindowHeight)
		locTop = aPy - aHeight - 2;
	if (locLeft < 0)
		locLeft = 0;
	if (locTop < 0)
		locTop = 0;
	*aLeft = locLeft;
	*aTop = locTop;
}

std::vector<KC_String> AutorunMenu::WrapText(const KC_String& aText, int aMaxWidth,
                                             const std::function<int(const KC_String&)>& aWidthOf)
{
	std::vector<KC_String> locLines;
	const char* locText = aText;
	int locLength = aText.GetLength();
	int locStart = 0;
	while (locStart < locLength)
	{
		while (locStart < locLength && locText[locStart] == ' ')
			++locStart;
		if (locStart >= locLength)
			break;
		// The longest run of whole words that fits; without one, the most characters.
		int locEnd = locStart;
		int locWordsEnd = -1;
		int locCharsEnd = locStart;
		while (locEnd < locLength)
		{
			int locNext = locEnd + 1;
			if (aWidthOf(KC_String(locText + locStart).Left(locNext - locStart)) > aMaxWidth)
				break;
			locEnd = locNext;
			if (locEnd == locLength || locText[locEnd] == ' ')
				locWordsEnd = locEnd;
			locCharsEnd = locEnd;
		}
		if (locEnd == locLength)
			locWordsEnd = locLength;
		int locCut = locWordsEnd > locStart ? locWordsEnd : (locCharsEnd > locStart ? locCharsEnd : locStart + 1);
		locLines.push_back(KC_String(locText + locStart).Left(locCut - locStart));
		locStart = locCut;
	}
	if (locLines.empty())
		locLines.push_back(KC_String());
	return locLines;
}

void AutorunMenu::DrawToolTip(int anIndex)
{
	int locIndex = anIndex;
	if (locIndex < 0)
		return;
	AutorunButton* locButton = myButtons[locIndex];
	DisplayFont* locFont = locButton->GetFont();
	int locTextHeight = locFont->GetHeight();
	if (locTextHeight <= 0)
		locTextHeight = 12;
	// A text wider than the window is wrapped inside it (once for each button
	// shown); lines below its bottom are left out.
	if (myTipLinesButton != locIndex)
	{
		myTipLines = WrapText(locButton->GetToolTip(), myWidth - 2 * ourToolTipPadding - 2,
		                      [locFont](const KC_String& aLine) { return locFont->GetStringWidth(aLine); });
		myTipLinesButton = locIndex;
	}
	std::vector<KC_String> locLines = myTipLines;
	size_t locRoom = static_cast<size_t>((myHeight - 2 * ourToolTipPadding) / locTextHeight);
	if (locLines.size() > locRoom && locRoom > 0)
		locLines.resize(locRoom);
	int locWidth = 0;
	for (const KC_String& locLine : locLines)
	{
		int locLineWidth = locFont->GetStringWidth(locLine);
		if (locLineWidth > locWidth)
			locWidth = locLineWidth;
	}
	locWidth += 2 * ourToolTipPadding;
	int locHeight = static_cast<int>(locLines.size()) * locTextHeight + 2 * ourToolTipPadding;
	int locLeft = 0;
	int locTop = 0;
	PlaceToolTip(myTipX, myTipY, locWidth, locHeight, myWidth, myHeight, &locLeft, &locTop);

	// The caption's colour on a plain box of a colour far from it, framed in the caption's colour.
	const unsigned char locInk[3] = {ourFontColors.myRed, ourFontColors.myGreen, ourFontColors.myBlue};
	int locLightness = (299 * locInk[0] + 587 * locInk[1] + 114 * locInk[2]) / 1000;
	const unsigned char locDark[3] = {24, 28, 36};
	const unsigned char locLight[3] = {250, 248, 232};
	const unsigned char* locBox = locLightness >= 128 ? locDark : locLight;
	int locRight = locLeft + locWidth;
	int locBottom = locTop + locHeight;
	if (myPrimitives)
	{
		for (int locY = locTop + 1; locY < locBottom - 1; ++locY)
			myPrimitives->HLine(locLeft + 1, locRight - 1, locY, locBox);
		myPrimitives->HLine(locLeft, locRight, locTop, locInk);
		myPrimitives->HLine(locLeft, locRight, locBottom - 1, locInk);
		myPrimitives->VLine(locLeft, locTop, locBottom, locInk);
		myPrimitives->VLine(locRight - 1, locTop, locBottom, locInk);
	}
	for (size_t locLine = 0; locLine < locLines.size(); ++locLine)
		locFont->Print(locLeft + ourToolTipPadding, locTop + ourToolTipPadding + static_cast<int>(locLine) * locTextHeight,
		               locLines[locLine]);
}

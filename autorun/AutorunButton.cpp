#include "AutorunButton.h"

#include "AutorunDiagnosis.h"
#include "AutorunMembers.h"
#include "DisplayBitmap.h"
#include "DisplayFactory.h"
#include "DisplayFont.h"
#include "Ice.h"
#include "KDGdi_Font.h"
#include "Registry.h"

#include <cstring>
#include <new>

namespace
{
const char* const ourAccessTestKey = "SOFTWARE\\Kestrelsoft\\AccessTest";
const char* const ourUnreadableTarget = "error";
const int ourMaxNarrowText = 511;

struct KindName
{
	const char* myName;
	int myKind;
};

const KindName ourKindNames[] = {
	{"LAUNCH_EXECUTABLE_AND_DIE", AutorunButton::KIND_LAUNCH_EXECUTABLE_AND_DIE},
	{"LAUNCH_EXECUTABLE", AutorunButton::KIND_LAUNCH_EXECUTABLE},
	{"SHELL_EXECUTE_OPEN", AutorunButton::KIND_SHELL_EXECUTE_OPEN},
	{"SHELL_EXECUTE_PRINT", AutorunButton::KIND_SHELL_EXECUTE_PRINT},
	{"SHELL_EXECUTE_EXPLORE", AutorunButton::KIND_SHELL_EXECUTE_EXPLORE},
};

BOOL WINAPI SystemShellExecute(SHELLEXECUTEINFOA* anInfo)
{
	return ShellExecuteExA(anInfo);
}

AutorunButton::ShellExecuteFunction ourShellExecute = SystemShellExecute;
int ourLaunchingKind = AutorunButton::KIND_QUIT;
}

AutorunButton::ShellExecuteFunction AutorunButton::SetShellExecuteFunction(ShellExecuteFunction aFunction)
{
	ShellExecuteFunction locPrevious = ourShellExecute;
	ourShellExecute = aFunction ? aFunction : SystemShellExecute;
	return locPrevious;
}

AutorunButton::AutorunButton(DisplayFactory* aFactory, Registry* aRegistry, HWND aWindow)
	: myRegistry(aRegistry)
	, myX(0)
	, myY(0)
	, myWidth(0)
	, myHeight(0)
	, myEnabled(false)
	, myKind(KIND_QUIT)
	, myFactory(aFactory)
	, myNormalBitmap(NULL)
	, myHoverBitmap(NULL)
	, myPressedBitmap(NULL)
	, myDisabledBitmap(NULL)
	, myFont(NULL)
	, myFontSize(0)
	, myLook(LOOK_NORMAL)
	, myTargetFromRegistry(false)
	, myRequirements(NULL)
	, myInstallFlag(false)
	, myWindow(aWindow)
{
	std::memset(myCaptionRect, 0, sizeof(myCaptionRect));
}

AutorunButton::~AutorunButton()
{
	delete myNormalBitmap;
	delete myHoverBitmap;
	delete myPressedBitmap;
	delete myDisabledBitmap;
	delete myFont;
}

AutorunButton* AutorunButton::Create(Ice* anInstance, DisplayFactory* aFactory, Registry* aRegistry, HWND aWindow)
{
	if (!anInstance || !aFactory || !aRegistry)
		return NULL;
	AutorunButton* locButton = new (std::nothrow) AutorunButton(aFactory, aRegistry, aWindow);
	if (locButton && !locButton->Load(anInstance))
	{
		delete locButton;
		return NULL;
	}
	return locButton;
}

bool AutorunButton::Load(Ice* anInstance)
{
	myX = Autorun_ReadInt(anInstance, "myPosition.myX", 0);
	myY = Autorun_ReadInt(anInstance, "myPosition.myY", 0);
	myInstallFlag = Autorun_ReadInt(anInstance, "myInstallLauncherFlag", 0) == 1;
	myKind = KindFromName(Autorun_ReadString(anInstance, "myButtonType", ""));

	if (!LoadBitmap(anInstance, "myBitmap", &myNormalBitmap) ||
	    !LoadBitmap(anInstance, "myPressedBitmap", &myPressedBitmap) ||
	    !LoadBitmap(anInstance, "myHoverBitmap", &myHoverBitmap) ||
	    !LoadBitmap(anInstance, "myDisabledBitmap", &myDisabledBitmap))
		return false;

	myFontSize = Autorun_ReadInt(anInstance, "myFontSize", 0);
	if (myFontSize == 0)
		myFontSize = -1;
	KC_String locFaceName = Autorun_ReadString(anInstance, "myCaptionFont", "");
	myFont = myFactory->MakeFont(locFaceName, myFontSize);
	if (!myFont)
	{
		AutorunDiagnosis::Add("font '%s' of size %d cannot be made", static_cast<const char*>(locFaceName),
		                      myFontSize);
		return false;
	}

	// One colour for all captions: the last button loaded sets it.
	GDIFont::SetColor(static_cast<unsigned char>(Autorun_ReadInt(anInstance, "myFontColor.myR", 0)),
	                  static_cast<unsigned char>(Autorun_ReadInt(anInstance, "myFontColor.myG", 0)),
	                  static_cast<unsigned char>(Autorun_ReadInt(anInstance, "myFontColor.myB", 0)));

	myCaptionRect[1] = Autorun_ReadInt(anInstance, "myCaptionRect.myTop", 0);
	myCaptionRect[0] = Autorun_ReadInt(anInstance, "myCaptionRect.myLeft", 0);
	myCaptionRect[3] = Autorun_ReadInt(anInstance, "myCaptionRect.myBot", 0);
	myCaptionRect[2] = Autorun_ReadInt(anInstance, "myCaptionRect.myRight", 0);

	myWidth = myNormalBitmap->GetWidth();
	myHeight = myNormalBitmap->GetHeight();

	myTargetFromRegistry = Autorun_ReadString(anInstance, "myTargetType", "") == "REGKEY";
	if (myTargetFromRegistry)
	{
		myTargetPath = Autorun_ReadString(anInstance, "myTargetRegName", "");
		myTargetRegKey = Autorun_ReadString(anInstance, "myTargetRegKey", "");
		myTargetRegRootKey = Autorun_ReadString(anInstance, "myTargetRegRootKey", "");
	}
	else
	{
		myTargetPath = NarrowText(Autorun_ReadLocString(anInstance, "myTargetFile"));
	}

	myRequirements = Autorun_FindMember(anInstance, "myRequirementsToBeEnabled");
	if (!myRequirements)
		return false;

	myCaption = Autorun_ReadString(anInstance, "myCaption", "");
	myToolTip = Autorun_ReadString(anInstance, "myToolTip", "");

	myEnabled = EvaluateRequirements();
	myLook = LOOK_NORMAL;
	return true;
}

bool AutorunButton::LoadBitmap(Ice* anInstance, const char* aMember, DisplayBitmap** aBitmap)
{
	Ice* locMember = Autorun_FindMember(anInstance, aMember);
	const char* locFileName = locMember ? locMember->GetValue() : NULL;
	if (!locFileName)
		return false;
	*aBitmap = myFactory->LoadBitmapFile(locFileName);
	if (!*aBitmap)
		AutorunDiagnosis::Add("bitmap '%s' (%s) does not load", locFileName, aMember);
	return *aBitmap != NULL;
}

bool AutorunButton::EvaluateRequirements()
{
	myDisabledReason.Clear();
	return RequirementsHold(myRequirements, *myRegistry, &myDisabledReason);
}

bool AutorunButton::HitTest(int aPx, int aPy) const
{
	return aPx >= myX && aPx < myX + myWidth && aPy >= myY && aPy < myY + myHeight;
}

int AutorunButton::OnHover()
{
	if (myEnabled)
		myLook = LOOK_HOVER;
	return ACTION_NONE;
}

void AutorunButton::OnLeave()
{
	if (myEnabled)
		myLook = LOOK_NORMAL;
}

int AutorunButton::OnPress()
{
	if (myEnabled)
		myLook = LOOK_PRESSED;
	return ACTION_NONE;
}

int AutorunButton::OnRelease()
{
	if (!myEnabled)
		return ACTION_NONE;
	myLook = LOOK_HOVER;
	return Launch();
}

void AutorunButton::Draw()
{
	DisplayBitmap* locBitmap = myNormalBitmap;
	if (!myEnabled)
		locBitmap = myDisabledBitmap;
	else if (myLook == LOOK_PRESSED)
		locBitmap = myPressedBitmap;
	else if (myLook == LOOK_HOVER)
		locBitmap = myHoverBitmap;
	locBitmap->Blit(myX, myY, myWidth, myHeight, 0, 0);
	myFont->PrintInRect(myCaption, myCaptionRect, 1);
}

int AutorunButton::Launch()
{
	if (myInstallFlag)
	{
		// An installer writes under HKEY_LOCAL_MACHINE: probe that right first.
		myRegistry->SetRootKey(HKEY_LOCAL_MACHINE);
		if (!myRegistry->CreateKey(ourAccessTestKey))
			return ACTION_QUIT_LIMITED_ACCESS;
		myRegistry->DeleteKey(ourAccessTestKey);
	}
	if (myKind == KIND_QUIT)
		return ACTION_QUIT;

	KC_String locTarget = ResolveTarget();
	KC_String locDirectory = WorkingDirectory(locTarget);

	SHELLEXECUTEINFOA locInfo;
	std::memset(&locInfo, 0, sizeof(locInfo));
	locInfo.cbSize = sizeof(locInfo);
	locInfo.fMask = 0;
	locInfo.hwnd = GetDesktopWindow();
	locInfo.lpVerb = VerbOfKind(myKind);
	locInfo.lpFile = locTarget;
	locInfo.lpParameters = NULL;
	locInfo.lpDirectory = locDirectory.IsEmpty() ? NULL : static_cast<const char*>(locDirectory);
	locInfo.nShow = SW_SHOWNORMAL;

	if (myKind == KIND_LAUNCH_EXECUTABLE_AND_DIE)
		ShowWindow(myWindow, SW_MINIMIZE);
	ourLaunchingKind = myKind;
	BOOL locStarted = ourShellExecute(&locInfo);
	ourLaunchingKind = KIND_QUIT;
	if (!locStarted)
		return ACTION_QUIT;
	return myKind == KIND_LAUNCH_EXECUTABLE_AND_DIE ? ACTION_QUIT : ACTION_NONE;
}

KC_String AutorunButton::ResolveTarget()
{
	if (!myTargetFromRegistry)
		return myTargetPath;
	KC_String locKey = myTargetRegKey;
	locKey.Replace('/', '\\');
	myRegistry->SetRootKey(Registry::RootKeyFromName(myTargetRegRootKey));
	// An empty key path would leave no current path to read from.
	if (locKey.IsEmpty() || !myRegistry->SetPath(locKey, false))
		return KC_String(ourUnreadableTarget);
	return myRegistry->GetString(myTargetPath, ourUnreadableTarget);
}

const char* AutorunButton::NameOfKind(int aKind)
{
	for (size_t locIndex = 0; locIndex < sizeof(ourKindNames) / sizeof(ourKindNames[0]); ++locIndex)
	{
		if (ourKindNames[locIndex].myKind == aKind)
			return ourKindNames[locIndex].myName;
	}
	return "QUIT";
}

int AutorunButton::GetLaunchingKind()
{
	return ourLaunchingKind;
}

int AutorunButton::KindFromName(const char* aName)
{
	for (size_t locIndex = 0; aName && locIndex < sizeof(ourKindNames) / sizeof(ourKindNames[0]); ++locIndex)
	{
		if (std::strcmp(aName, ourKindNames[locIndex].myName) == 0)
			return ourKindNames[locIndex].myKind;
	}
	return KIND_QUIT;
}

const char* AutorunButton::VerbOfKind(int aKind)
{
	switch (aKind)
	{
	case KIND_LAUNCH_EXECUTABLE_AND_DIE:
	case KIND_LAUNCH_EXECUTABLE:
	case KIND_SHELL_EXECUTE_OPEN:
		return "open";
	case KIND_SHELL_EXECUTE_PRINT:
		return "print";
	case KIND_SHELL_EXECUTE_EXPLORE:
		return "explore";
	default:
		return NULL;
	}
}

KC_String AutorunButton::WorkingDirectory(const KC_String& aTarget)
{
	int locSeparator = aTarget.ReverseFind('/');
	if (locSeparator < 1)
		locSeparator = aTarget.ReverseFind('\\');
	// A target in the current folder: Windows refuses a file as the directory.
	if (locSeparator < 1)
		return KC_String();
	return aTarget.Left(locSeparator);
}

KC_String AutorunButton::NarrowText(const char16_t* aText)
{
	char locBuffer[ourMaxNarrowText + 1];
	int locLength = 0;
	for (; aText && aText[locLength] && locLength < ourMaxNarrowText; ++locLength)
		locBuffer[locLength] = static_cast<char>(aText[locLength] & 0xFF);
	locBuffer[locLength] = 0;
	return KC_String(locBuffer);
}

#include "AutorunMenu.h"

#include "AutorunButton.h"
#include "AutorunDiagnosis.h"
#include "AutorunMembers.h"
#include "DisplayBitmap.h"
#include "Ice.h"
#include "KDGdi_Bitmap.h"
#include "KDGdi_Factory.h"

#include <new>

AutorunMenu* AutorunMenu::ourCurrent = NULL;
KC_LocString AutorunMenu::ourInsertDiscText;
KC_LocString AutorunMenu::ourLimitedAccessText;

namespace
{
const char* const ourSuppressionKey = "SOFTWARE\\Kestrelsoft\\SupressAutorun";
const unsigned char ourClearColor[3] = {255, 0, 255};
}

AutorunMenu::AutorunMenu(HWND aWindow)
	: myFactory(NULL), myBackground(NULL), myDefinition(NULL), myWindow(aWindow), myWidth(0), myHeight(0)
{
	myChromaKey[0] = myChromaKey[1] = myChromaKey[2] = 0;
	myButtons.Init(10, 2);
}

AutorunMenu::~AutorunMenu()
{
	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
		delete myButtons[locIndex];
	delete myBackground;
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
		myDefinition = Ice::Load(aFileName, true);
	}
	if (!myDefinition)
	{
		AutorunDiagnosis::Add("the menu definition '%s' does not load (messages above)", aFileName);
		return false;
	}

	Ice* locButtons = Autorun_FindMember(myDefinition, "myGui.myButtons");
	if (!locButtons)
		return false;

	KDGdi_Factory* locFactory = new (std::nothrow) KDGdi_Factory(myWindow);
	myFactory = locFactory;
	if (!locFactory || !locFactory->GetMemoryDC())
	{
		AutorunDiagnosis::Add("the display factory cannot be made for the window");
		return false;
	}

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
	myFactory->BeginFrame();
	myFactory->Clear(ourClearColor);
	myBackground->Blit(0, 0, myWidth, myHeight, 0, 0);
	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
		myButtons[locIndex]->Draw();
	myFactory->Present(0, 0, 0, 0);
	myFactory->EndFrame();
}

int AutorunMenu::OnMouseMove(int anX, int aY)
{
	int locResult = AutorunButton::ACTION_NONE;
	for (int locIndex = 0; locIndex < myButtons.Count(); ++locIndex)
	{
		AutorunButton* locButton = myButtons[locIndex];
		if (locButton->HitTest(anX, aY))
			locResult = locButton->OnHover();
		else
			locButton->OnLeave();
	}
	return locResult;
}

int AutorunMenu::OnMouseDown(int anX, int aY)
{
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

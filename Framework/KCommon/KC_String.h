#ifndef KC_STRING_H
#define KC_STRING_H

#include "kc_format.h"

// 8-bit text of 0 to 65534 characters in one pointer. The pointer addresses the
// data; the two bytes before it hold the length and a NUL follows it. Empty
// strings share one static buffer that is never freed, so that an unset string
// costs no more than its pointer; texts live in blocks of the framework's pool.
// Copies are deep. Without memory for a text, std::bad_alloc is thrown, like by
// new, and the string keeps the text it had.
class KC_String
{
public:
	KC_String();
	KC_String(const char* aString);
	KC_String(const KC_String& aString);
	// A text of its own of the aLength characters at aData (no NUL needed), as
	// Left and Right make them.
	KC_String(const char* aData, int aLength);
	// Moves take the buffer over and leave the source empty.
	KC_String(KC_String&& aString) noexcept;
	~KC_String();

	KC_String& operator=(const KC_String& aString);
	KC_String& operator=(KC_String&& aString) noexcept;
	KC_String& operator=(const char* aString);

	void Clear();
	int GetLength() const { return *reinterpret_cast<const unsigned short*>(myData - 2); }
	bool IsEmpty() const { return GetLength() == 0; }
	operator const char*() const { return myData; }
	// The text, for printf-style arguments and other places that want a plain pointer.
	const char* GetText() const { return myData; }

	KC_String operator+(const char* aString) const;
	KC_String Left(int aCount) const;
	KC_String Right(int aCount) const;

	int Find(char aCharacter) const;
	int ReverseFind(char aCharacter) const;
	int Find(const char* aString) const;
	int Replace(char aFrom, char aTo);
	void MakeLower();

	bool operator==(const KC_String& aString) const;
	bool operator==(const char* aString) const;
	bool operator!=(const KC_String& aString) const { return !(*this == aString); }
	bool operator!=(const char* aString) const { return !(*this == aString); }
	bool operator<(const KC_String& aString) const;
	bool operator>(const KC_String& aString) const;
	int CompareNoCase(const char* aString) const;

	void Format(const char* aFormat, ...) KC_PRINTF_FORMAT(2, 3);

	// True while the string points at the shared empty buffer.
	bool IsSharedEmpty() const;

private:
	// Points the string, which holds no buffer, at a new one of aSize characters
	// (terminated, not filled); throws std::bad_alloc, the string unchanged,
	// when the pool has no block.
	void Allocate(int aSize);
	void Release();
	void Assign(const char* aData, int aLength);
	// Whether the buffer held takes a text of aLength characters as it is: an
	// own one of exactly that length.
	bool Fits(int aLength) const;
	// Takes the text of aString over and leaves aString empty.
	void TakeOver(KC_String& aString);

	char* myData;
};

#endif

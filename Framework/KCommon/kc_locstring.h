#ifndef KC_LOCSTRING_H
#define KC_LOCSTRING_H

// Wide text (UTF-16 units, NUL-terminated) for localized strings.
class KC_LocString
{
public:
	KC_LocString();
	KC_LocString(const char16_t* aString);
	KC_LocString(const KC_LocString& aString);
	~KC_LocString();

	KC_LocString& operator=(const char16_t* aString);
	KC_LocString& operator=(const KC_LocString& aString);

	// The text; fails while no text is held.
	const char16_t* GetData() const;
	operator const char16_t*() const { return GetData(); }
	int GetLength() const { return myLength; }

private:
	void Assign(const char16_t* aString);

	char16_t* myData;
	int myLength;
};

#endif

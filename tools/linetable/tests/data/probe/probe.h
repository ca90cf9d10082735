// Inline functions that both units compile: the linker keeps one copy and
// discards the other, whose line rows are left at offsets from address 0.
inline int Twice(int aValue)
{
	return 2 * aValue;
}

inline int Thrice(int aValue)
{
	return 3 * aValue;
}

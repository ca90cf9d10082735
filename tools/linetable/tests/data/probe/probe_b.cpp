#include "probe.h"

int First(int aValue);

int main(int argc, char**)
{
	return First(argc) + Twice(argc) + Thrice(argc);
}

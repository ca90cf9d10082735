# Windows-only part of the wizard: the program itself.

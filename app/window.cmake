# The program morvelle.exe and its window (owned by the window work).

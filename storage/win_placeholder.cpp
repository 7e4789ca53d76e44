// Replaced as the Windows storage code lands.

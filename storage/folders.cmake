# Station folders (owned by the stations work). Adds its sources to
# storage_win and its tests below.

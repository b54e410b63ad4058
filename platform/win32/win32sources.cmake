# The Windows backend's files, relative to platform/: compiled into
# vantel_platform on Windows, and without Qt into the cross-built suite
# (tests/win32). A new service adds its win32<service>.cpp here.
set(VANTEL_WIN32_SOURCES
  win32/win32backend.cpp
  win32/win32debugoutput.cpp
  win32/win32desktopwindows.cpp
  win32/win32iphelper.cpp
  win32/win32devicechanges.cpp
  win32/win32lastinput.cpp
  win32/win32monitorbrightness.cpp
  win32/win32powerscheme.cpp
  win32/win32nativewifi.cpp
  win32/win32powerstatus.cpp
  win32/win32registry.cpp
  win32/win32text.cpp
  win32/win32volumes.cpp
  win32/win32windowsversion.cpp)

# The system libraries the backend's services call, beyond kernel32 and
# user32: powrprof (power schemes), wlanapi (Native Wifi), iphlpapi (IP
# Helper), wbemuuid, ole32 and oleaut32 (monitor brightness through WMI).
set(VANTEL_WIN32_LIBRARIES powrprof wlanapi iphlpapi wbemuuid ole32 oleaut32)

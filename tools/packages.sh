# The Debian packages the build needs (sourced by run.sh, test.sh and package.sh).
TAVI_BUILD_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libsqlite3-dev
  libjpeg62-turbo-dev libgif-dev libsodium-dev mdbtools-dev
  fonts-arphic-uming fonts-dejavu-core
  librsvg2-bin
)
TAVI_TEST_PACKAGES=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils imagemagick unrtf
  dbus libglib2.0-bin gsettings-desktop-schemas xfconf libxfconf-0-3
  desktop-file-utils appstream xdotool
  jq libxcb1-dev
  weston qt6-wayland
)
# What package.sh needs beside the build: CPack's DEB generator runs
# dpkg-shlibdeps and file; lintian checks the package.
TAVI_PACKAGE_PACKAGES=(
  dpkg-dev file lintian
)

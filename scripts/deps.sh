# Sourced by the project's scripts: installs the Debian packages the build,
# the tests and the showcase need when any is missing (as root, apt-get).
packages=(cmake ninja-build g++ clang libclang-rt-14-dev pkg-config libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
          libsdl2-dev libx11-dev xvfb xauth liballegro4-dev imagemagick libgif-dev libjpeg62-turbo-dev libfreetype-dev libsdl2-image-dev help2man xfonts-base fonts-dejavu-core)
. scripts/packages.sh
installMissing "${packages[@]}"

# Thin wrapper over CMake. `make` builds kavor, `make run` builds it and runs the tour,
# `make test` builds and runs every test, `make install` installs kavor and its files.
BUILD ?= build
ASAN_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
# Seconds each fuzz target runs in `make fuzz`.
FUZZ_SECONDS ?= 60
JOBS ?= 2

# Where `make install` puts things; DESTDIR is prepended to each (for packaging).
PREFIX ?= /usr/local
BINDIR ?= $(PREFIX)/bin
MANDIR ?= $(PREFIX)/share/man/man1
VIMDIR ?= $(PREFIX)/share/vim/vimfiles
DATADIR ?= $(PREFIX)/share/kavor

.PHONY: all kavor run test test-sanitize bench install uninstall clean fuzz

all: kavor

# A new build folder builds the interpreter alone, which needs no GoogleTest; `make test`
# switches the tests on in the same folder.
$(BUILD)/Makefile:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DKAVOR_TESTS=OFF

kavor: $(BUILD)/Makefile
	cmake --build $(BUILD) -j$(JOBS) --target kavor

run: kavor
	$(BUILD)/kavor examples/tour.kv

test: $(BUILD)/Makefile
	grep -q '^KAVOR_TESTS:BOOL=ON' $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DKAVOR_TESTS=ON
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

$(ASAN_BUILD)/Makefile:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKAVOR_SANITIZE=ON -DKAVOR_TESTS=ON

test-sanitize: $(ASAN_BUILD)/Makefile
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS)

# The fuzz targets need clang (libFuzzer); they are not part of `make test`.
$(FUZZ_BUILD)/Makefile:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DKAVOR_FUZZ=ON -DKAVOR_TESTS=OFF

fuzz: $(FUZZ_BUILD)/Makefile
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target program_fuzzer text_input_fuzzer binary_input_fuzzer
	./fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: kavor
	./bench/run.sh $(BUILD)/kavor

install: kavor
	install -d $(DESTDIR)$(BINDIR) $(DESTDIR)$(MANDIR) $(DESTDIR)$(VIMDIR)/syntax \
		$(DESTDIR)$(VIMDIR)/ftdetect $(DESTDIR)$(DATADIR)
	install -m 755 $(BUILD)/kavor $(DESTDIR)$(BINDIR)/kavor
	install -m 644 kavor.1 $(DESTDIR)$(MANDIR)/kavor.1
	install -m 644 editors/vim/syntax/kavor.vim $(DESTDIR)$(VIMDIR)/syntax/kavor.vim
	install -m 644 editors/vim/ftdetect/kavor.vim $(DESTDIR)$(VIMDIR)/ftdetect/kavor.vim
	install -m 644 editors/kavor.tmLanguage.json $(DESTDIR)$(DATADIR)/kavor.tmLanguage.json

uninstall:
	rm -f $(DESTDIR)$(BINDIR)/kavor $(DESTDIR)$(MANDIR)/kavor.1 \
		$(DESTDIR)$(VIMDIR)/syntax/kavor.vim $(DESTDIR)$(VIMDIR)/ftdetect/kavor.vim \
		$(DESTDIR)$(DATADIR)/kavor.tmLanguage.json
	rmdir $(DESTDIR)$(DATADIR) 2>/dev/null || true

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

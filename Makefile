# Thin wrapper over CMake. `make run` builds kavor and runs the tour; `make test` runs every test.
BUILD ?= build
ASAN_BUILD ?= build-sanitize
JOBS ?= 2

.PHONY: all kavor run test test-sanitize bench clean

all: kavor

$(BUILD)/Makefile:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

kavor: $(BUILD)/Makefile
	cmake --build $(BUILD) -j$(JOBS)

run: kavor
	./$(BUILD)/kavor examples/tour.kv

test: kavor
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

$(ASAN_BUILD)/Makefile:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKAVOR_SANITIZE=ON

test-sanitize: $(ASAN_BUILD)/Makefile
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS)

bench: kavor
	./bench/run.sh ./$(BUILD)/kavor

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

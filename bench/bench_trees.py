# bench_trees.py: the profile-shaped tree the copy benches build (bench/migration-copy-bench.sh,
# bench/selection-walk-bench.sh): folders 2 to 9 deep, each holding a few files (one in five holds
# none), about 5 files a folder, of mixed sizes (most under 16 KB, some up to 128 KB, a few up to
# 2 MB).
import os


def put(path, size, block):
    with open(path, "wb") as f:
        f.write(block[:size])
    return size


def profile_size(rng):
    r = rng.random()
    if r < 0.80:
        return rng.randint(0, 16 * 1024)
    if r < 0.985:
        return rng.randint(16 * 1024, 128 * 1024)
    return rng.randint(256 * 1024, 2 << 20)


def profile_tree(root, files, rng, block):
    """Builds the tree in `root` (made here); answers (files, bytes, folders)."""
    folders, total, made = [root], 0, 0
    os.makedirs(root)
    while made < files:
        parent = rng.choice(folders[-400:]) if rng.random() < 0.7 else rng.choice(folders)
        if parent.count(os.sep) - root.count(os.sep) >= 9:
            parent = root
        folder = os.path.join(parent, "Folder %d" % len(folders))
        os.makedirs(folder)
        folders.append(folder)
        n = 0 if rng.random() < 0.2 else min(files - made, rng.randint(1, 11))
        for i in range(n):
            name = "file %d.%s" % (made + i, rng.choice(["doc", "jpg", "txt", "dat", "xml"]))
            total += put(os.path.join(folder, name), profile_size(rng), block)
        made += n
    return made, total, len(folders)

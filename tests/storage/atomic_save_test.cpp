// Saving never destroys the previous file: whatever fails, the old file stays byte for byte and
// no temporary file is left behind; links stay links, devices and pipes are written, never
// replaced; a replaced file keeps its owner, group and mode.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "app/document_files.h"
#include "storage/atomic_file.h"
#include "storage/sample_documents.h"
#include "storage/sbl_format.h"
#include "storage/text_format.h"
#include "support/test_support.h"

namespace paginor {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

std::string testDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return test::TempDir(std::string("atomic_") + info->name());
}

std::vector<std::string> entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

const std::vector<uint8_t> kOld = {'a', 'l', 't', 0, 1, 2, 3};

bool isRoot() {
  return geteuid() == 0;
}

struct stat statOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
  return st;
}

// Limits the size of files this process writes, so that writing fails halfway, as on a full
// disk; the limit is lifted again at the end of the scope.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit lim = saved_;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  sighandler_t previous_;
};

// Runs `body` in a child process as a user without privileges (nobody, when the tests run as
// root), so that permissions apply as they do to users. What `body` returns comes back: empty
// for success, else what went wrong.
std::string asUnprivilegedUser(const std::function<std::string()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return "no pipe";
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::string result;
    if (isRoot() && (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
                     setresuid(kNobody, kNobody, kNobody) != 0))
      result = "could not become nobody";
    else
      result = body();
    if (write(fds[1], result.data(), result.size()) < 0) _exit(2);
    _exit(0);
  }
  close(fds[1]);
  std::string result;
  char buf[256];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
    result.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) result += " (child ended abnormally)";
  return result;
}

TEST(AtomicSave, AWriteErrorLeavesTheOldFileAndNoTemporaryFile) {
  test::Fixture fx;
  test::BuildRichDocument(fx.w());
  const std::string dir = testDir();
  const std::string path = dir + "/voll.sbl";
  test::WriteBytes(path, kOld);
  {
    FileSizeLimit limit(1000);
    EXPECT_FALSE(test::Shown(fx.w(), SaveSBLFile(fx.w(), path)));
  }
  EXPECT_EQ(test::ReadBytes(path), kOld);
  EXPECT_EQ(entries(dir), std::vector<std::string>{"voll.sbl"});
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text,
            "Konnte Datei voll.sbl nicht schreiben! Die Datei überschreitet die zulässige Größe.");
  EXPECT_EQ(fx.host.ui.status[3], "") << "the progress text is cleared";
  EXPECT_TRUE(fx.doc().filePath.empty()) << "a failed save does not take the name";

  {
    FileSizeLimit limit(50);  // the document's text is longer
    EXPECT_FALSE(test::Shown(fx.w(), SaveTXTFile(fx.w(), path, false)));
  }
  EXPECT_EQ(test::ReadBytes(path), kOld);
}

TEST(AtomicSave, AFullDiskIsNamedAsTheCause) {
  // /dev/full takes no byte: a device is written in place, so its error is the disk's.
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  test::Fixture fx;
  EXPECT_FALSE(test::Shown(fx.w(), SaveSBLFile(fx.w(), "/dev/full")));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text,
            "Konnte Datei full nicht schreiben! Der Datenträger ist voll.");
  EXPECT_TRUE(S_ISCHR(statOf("/dev/full").st_mode));
}

TEST(AtomicSave, MissingDirectoriesAndDirectoriesInTheWayAreReported) {
  test::Fixture fx;
  const std::string dir = testDir();
  EXPECT_FALSE(test::Shown(fx.w(), SaveSBLFile(fx.w(), dir + "/fehlt/neu.sbl")));
  ASSERT_EQ(fx.host.ui.messages.size(), 1u);
  EXPECT_EQ(fx.host.ui.messages[0].text,
            "Konnte Datei neu.sbl nicht erstellen! Der Ordner existiert nicht.");
  EXPECT_TRUE(entries(dir).empty());

  fs::create_directory(dir + "/ordner.sbl");
  test::WriteBytes(dir + "/ordner.sbl/inhalt", kOld);
  EXPECT_FALSE(test::Shown(fx.w(), SaveSBLFile(fx.w(), dir + "/ordner.sbl")));
  EXPECT_EQ(fx.host.ui.messages.at(1).text,
            "Konnte Datei ordner.sbl nicht erstellen! Der Name gehört zu einem Ordner.");
  EXPECT_EQ(test::ReadBytes(dir + "/ordner.sbl/inhalt"), kOld);
  EXPECT_EQ(entries(dir), std::vector<std::string>{"ordner.sbl"});

  test::WriteBytes(dir + "/datei", kOld);
  EXPECT_FALSE(test::Shown(fx.w(), SaveSBLFile(fx.w(), dir + "/datei/x.sbl")));
  EXPECT_EQ(fx.host.ui.messages.at(2).text,
            "Konnte Datei x.sbl nicht erstellen! Ein Teil des Pfades ist kein Ordner.");
}

TEST(AtomicSave, ReadOnlyFilesStayAndWritableFilesInReadOnlyDirectoriesAreWrittenInPlace) {
  test::Fixture fx;
  test::BuildRichDocument(fx.w());
  const std::vector<uint8_t> image = SerializeSBL(fx.doc());
  const std::string dir = testDir();
  const std::string locked = dir + "/gesperrt.sbl";
  const std::string own = dir + "/eigen.sbl";
  test::WriteBytes(locked, kOld);
  test::WriteBytes(own, kOld);
  chmod(locked.c_str(), 0444);
  if (isRoot()) {
    // The directory stays root's and so read-only to nobody; the file is nobody's own.
    ASSERT_EQ(chown(own.c_str(), kNobody, kNobody), 0);
  } else {
    chmod(dir.c_str(), 0555);
  }
  const ino_t inode = statOf(own).st_ino;

  const std::string failure = asUnprivilegedUser([&]() -> std::string {
    if (test::Shown(fx.w(), SaveSBLFile(fx.w(), locked))) return "a read-only file was replaced";
    if (fx.host.ui.messages.back().text !=
        "Konnte Datei gesperrt.sbl nicht erstellen! Keine Schreibberechtigung.")
      return "message: " + fx.host.ui.messages.back().text;
    // Writing that fails halfway puts the old content back.
    {
      FileSizeLimit limit(image.size() / 2);
      if (test::Shown(fx.w(), SaveSBLFile(fx.w(), own))) return "a save beyond the size limit succeeded";
    }
    if (test::ReadBytes(own) != kOld) return "the old content was lost";
    if (!test::Shown(fx.w(), SaveSBLFile(fx.w(), own))) return "in place: " + fx.host.ui.messages.back().text;
    return {};
  });
  chmod(dir.c_str(), 0755);
  EXPECT_EQ(failure, "");
  EXPECT_EQ(test::ReadBytes(locked), kOld);
  EXPECT_EQ(test::ReadBytes(own), image);
  EXPECT_EQ(statOf(own).st_ino, inode) << "written in place, not replaced";
  EXPECT_EQ(entries(dir), (std::vector<std::string>{"eigen.sbl", "gesperrt.sbl"}));
}

TEST(AtomicSave, ReplacingKeepsOwnerGroupAndMode) {
  test::Fixture fx;
  const std::string dir = testDir();
  const std::string path = dir + "/privat.sbl";
  test::WriteBytes(path, kOld);
  chmod(path.c_str(), 0600);
  if (isRoot()) {
    ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
  }
  const struct stat before = statOf(path);

  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), path)));
  const struct stat after = statOf(path);
  EXPECT_NE(after.st_ino, before.st_ino) << "replaced by a new file";
  EXPECT_EQ(after.st_mode & 07777, 0600u);
  EXPECT_EQ(after.st_uid, before.st_uid) << "root saving a user's file leaves it the user's";
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_EQ(test::ReadBytes(path), SerializeSBL(fx.doc()));

  // A new file gets what any new file gets.
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), dir + "/neu.sbl")));
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(statOf(dir + "/neu.sbl").st_mode & 0777, 0666u & ~mask);
}

TEST(AtomicSave, ABackupTakesTheOriginalsOwnerAndMode) {
  const std::string dir = testDir();
  const std::string path = dir + "/brief.sbl";
  test::WriteBytes(path, kOld);
  chmod(path.c_str(), 0640);
  if (isRoot()) {
    ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
  }
  test::WriteBytes(dir + "/brief.bak", {'v', 'o', 'r', 'h', 'e', 'r'});
  chmod((dir + "/brief.bak").c_str(), 0666);

  ASSERT_TRUE(MakeBackup(path));
  EXPECT_EQ(test::ReadBytes(dir + "/brief.bak"), kOld);
  const struct stat st = statOf(dir + "/brief.bak");
  EXPECT_EQ(st.st_mode & 07777, 0640u) << "a private file's backup stays private";
  EXPECT_EQ(st.st_uid, statOf(path).st_uid);
  EXPECT_EQ(entries(dir), (std::vector<std::string>{"brief.bak", "brief.sbl"}));
}

TEST(AtomicSave, LinksStayLinksAndTheFileTheyNameIsReplacedOrCreated) {
  test::Fixture fx;
  const std::string dir = testDir();
  const std::string path = dir + "/rechte.sbl";
  test::WriteBytes(path, kOld);
  chmod(path.c_str(), 0640);
  fs::create_directory(dir + "/unter");
  fs::create_symlink("rechte.sbl", dir + "/verweis.sbl");
  fs::create_symlink("../verweis.sbl", dir + "/unter/kette.sbl");  // a chain of two

  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), dir + "/unter/kette.sbl")));
  EXPECT_TRUE(fs::is_symlink(dir + "/verweis.sbl")) << "the links stay links";
  EXPECT_TRUE(fs::is_symlink(dir + "/unter/kette.sbl"));
  EXPECT_EQ(test::ReadBytes(path), SerializeSBL(fx.doc()));
  EXPECT_EQ(statOf(path).st_mode & 0777, 0640u);

  // A link to a file that does not exist yet creates that file.
  fs::create_symlink("spaeter.sbl", dir + "/offen.sbl");
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), dir + "/offen.sbl")));
  EXPECT_TRUE(fs::is_symlink(dir + "/offen.sbl"));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir + "/spaeter.sbl")));
  EXPECT_EQ(test::ReadBytes(dir + "/spaeter.sbl"), SerializeSBL(fx.doc()));

  // Links in a circle are refused.
  fs::create_symlink("kreis2", dir + "/kreis1");
  fs::create_symlink("kreis1", dir + "/kreis2");
  EXPECT_FALSE(test::Shown(fx.w(), SaveSBLFile(fx.w(), dir + "/kreis1")));
  EXPECT_EQ(fx.host.ui.messages.back().text,
            "Konnte Datei kreis1 nicht erstellen! Die symbolischen Verknüpfungen bilden einen "
            "Kreis.");
  EXPECT_EQ(entries(dir), (std::vector<std::string>{"kreis1", "kreis2", "offen.sbl", "rechte.sbl",
                                                    "spaeter.sbl", "unter", "verweis.sbl"}));
}

TEST(AtomicSave, AHardLinkedFileIsSplitByASave) {
  // The saved name gets a new file; another name of the old file keeps the old content. This
  // is the price of never writing over the only copy.
  test::Fixture fx;
  const std::string dir = testDir();
  test::WriteBytes(dir + "/a.sbl", kOld);
  fs::create_hard_link(dir + "/a.sbl", dir + "/b.sbl");
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), dir + "/a.sbl")));
  EXPECT_EQ(test::ReadBytes(dir + "/a.sbl"), SerializeSBL(fx.doc()));
  EXPECT_EQ(test::ReadBytes(dir + "/b.sbl"), kOld);
}

// What a reader thread gets from a pipe until its writer closes it.
class PipeReader {
 public:
  explicit PipeReader(std::string path)
      : thread_([this, path] {
          const int fd = ::open(path.c_str(), O_RDONLY);
          char buf[4096];
          for (ssize_t n; fd >= 0 && (n = ::read(fd, buf, sizeof buf)) > 0;)
            got_.insert(got_.end(), buf, buf + n);
          if (fd >= 0) ::close(fd);
        }) {}
  std::vector<uint8_t> take() {
    thread_.join();
    return std::move(got_);
  }

 private:
  std::vector<uint8_t> got_;
  std::thread thread_;
};

TEST(AtomicSave, DevicesAndPipesAreWrittenInPlaceNeverReplaced) {
  test::Fixture fx;
  test::BuildRichDocument(fx.w());
  const std::vector<uint8_t> image = SerializeSBL(fx.doc());
  const std::string dir = testDir();

  const std::string fifo = dir + "/rohr";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  PipeReader reader(fifo);
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), fifo)));
  EXPECT_EQ(reader.take(), image) << "the reader gets the whole document";
  EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));

  // One of our own descriptors named by its number: the bytes go where it points.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::vector<uint8_t> got;
  std::thread drain([&] {
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) got.insert(got.end(), buf, buf + n);
  });
  const bool saved = test::Shown(fx.w(), SaveTXTFile(fx.w(), "/dev/fd/" + std::to_string(fds[1]), TextCode::Utf8));
  close(fds[1]);
  drain.join();
  close(fds[0]);
  EXPECT_TRUE(saved);
  EXPECT_FALSE(got.empty());
  EXPECT_EQ(got.back(), '\n');

  if (isRoot()) {
    // A device node made here: it stays a device (this one discards what it gets).
    const std::string node = dir + "/nichts";
    ASSERT_EQ(mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), node)));
    EXPECT_TRUE(S_ISCHR(statOf(node).st_mode));
    EXPECT_EQ(statOf(node).st_rdev, makedev(1, 3));
    // A block device is no place for a document.
    const std::string disk = dir + "/platte";
    ASSERT_EQ(mknod(disk.c_str(), S_IFBLK | 0600, makedev(7, 200)), 0);
    EXPECT_FALSE(test::Shown(fx.w(), SaveSBLFile(fx.w(), disk)));
    EXPECT_EQ(fx.host.ui.messages.back().text,
              "Konnte Datei platte nicht erstellen! Das Ziel ist keine Datei, sondern ein "
              "Blockgerät oder ein Socket.");
    EXPECT_TRUE(S_ISBLK(statOf(disk).st_mode));
  }

  const std::string socketPath = dir + "/sockel";
  const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof addr.sun_path);
  std::copy(socketPath.begin(), socketPath.end(), addr.sun_path);
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  EXPECT_FALSE(test::Shown(fx.w(), SaveSBLFile(fx.w(), socketPath)));
  close(sock);
  EXPECT_EQ(fx.host.ui.messages.back().text,
            "Konnte Datei sockel nicht erstellen! Das Ziel ist keine Datei, sondern ein "
            "Blockgerät oder ein Socket.");
  EXPECT_TRUE(S_ISSOCK(statOf(socketPath).st_mode));
  for (const std::string& name : entries(dir))
    EXPECT_EQ(name.find(".~"), std::string::npos) << name;
}

// A child that opens a save of `target`, writes part of it, says so and waits to be ended.
pid_t startHangingSave(const std::string& target, int readyFd) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  AtomicFile f;
  if (f.open(target) != WriteError::None || !f.write(std::string(3u << 20, 'x'))) _exit(3);
  const char ok = 1;
  if (write(readyFd, &ok, 1) != 1) _exit(4);
  for (;;) pause();
}

TEST(AtomicSave, TerminatingSignalsRemoveTheTemporaryFile) {
  const std::string dir = testDir();
  const std::string path = dir + "/ziel.sbl";
  test::WriteBytes(path, kOld);
  // A first temporary file installs the clean-up, as a save of the program would.
  {
    AtomicFile warmUp;
    ASSERT_EQ(warmUp.open(dir + "/warm"), WriteError::None);
  }
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    struct sigaction current {};
    sigaction(sig, nullptr, &current);
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN) continue;  // nohup
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = startHangingSave(path, fds[1]);
    close(fds[1]);
    char ok = 0;
    ASSERT_EQ(read(fds[0], &ok, 1), 1) << "the child began its save";
    close(fds[0]);
    EXPECT_EQ(entries(dir).size(), 2u) << "the temporary file is there";
    kill(child, sig);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << "ended by the signal " << sig;
    EXPECT_EQ(entries(dir), std::vector<std::string>{"ziel.sbl"}) << "signal " << sig;
    EXPECT_EQ(test::ReadBytes(path), kOld);
  }
}

TEST(AtomicSave, TheNextSaveRemovesTemporaryFilesOfEndedProcesses) {
  const std::string dir = testDir();
  // A process id that is free: a child that has ended and been reaped.
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string stale = "." + std::string("bericht.sbl.~") + std::to_string(gone) + "-7";
  const std::string running = ".bericht.sbl.~" + std::to_string(getppid()) + "-1";
  for (const std::string& name : {stale, running, std::string("notiz.~123-4"),
                                  std::string(".notiz.~abc"), std::string(".bericht.sbl.~9x-1")})
    test::WriteBytes(dir + "/" + name, kOld);
  if (isRoot()) {
    // Another user's leftovers are theirs to clean up.
    test::WriteBytes(dir + "/.fremd.~" + std::to_string(gone) + "-1", kOld);
    ASSERT_EQ(chown((dir + "/.fremd.~" + std::to_string(gone) + "-1").c_str(), kNobody, kNobody),
              0);
  }

  test::Fixture fx;
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), dir + "/anderes.sbl")));
  std::vector<std::string> expect = {".bericht.sbl.~9x-1", ".notiz.~abc", running, "anderes.sbl",
                                     "notiz.~123-4"};
  if (isRoot()) expect.push_back(".fremd.~" + std::to_string(gone) + "-1");
  std::sort(expect.begin(), expect.end());
  EXPECT_EQ(entries(dir), expect);
}

TEST(AtomicFileTest, UncommittedFilesVanish) {
  const std::string dir = testDir();
  const std::string path = dir + "/ziel.bin";
  test::WriteBytes(path, kOld);
  {
    AtomicFile f;
    ASSERT_EQ(f.open(path), WriteError::None);
    ASSERT_TRUE(f.write("neu"));
    EXPECT_TRUE(fs::exists(f.temporaryPath()));
    EXPECT_EQ(test::ReadBytes(path), kOld) << "nothing replaced before the commit";
  }
  EXPECT_EQ(entries(dir), std::vector<std::string>{"ziel.bin"});
  EXPECT_EQ(test::ReadBytes(path), kOld);

  // Large writes bypass the buffer and still arrive in order.
  std::vector<uint8_t> big(3u << 20);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 31 + (i >> 12));
  AtomicFile f;
  ASSERT_EQ(f.open(path), WriteError::None);
  ASSERT_TRUE(f.write("kopf"));
  ASSERT_TRUE(f.write(big.data(), big.size()));
  ASSERT_EQ(f.commit(), WriteError::None);
  std::vector<uint8_t> expect = {'k', 'o', 'p', 'f'};
  expect.insert(expect.end(), big.begin(), big.end());
  EXPECT_EQ(test::ReadBytes(path), expect);
}

}  // namespace
}  // namespace paginor

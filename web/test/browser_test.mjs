// The drill page in headless chromium: a student's clicks and keys, and what the page shows.
// Usage: node test/browser_test.mjs SITE_DIR   (scripts/web_build builds SITE_DIR)
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { resolve } from "node:path";
import { serve, launch, openDrill } from "./browser.mjs";

const site = resolve(process.argv[2] || process.env.SOLVARI_SITE || "../build-web/site");
let server, browser;

before(async () => {
  server = await serve(site);
  browser = await launch();
});
after(async () => {
  await browser.close();
  await server.close();
});

// ------------------------------------------------------------ helpers

const text = (page, id) => page.$eval("#" + id, (e) => e.textContent);
const visible = (page, id) => page.$eval("#" + id, (e) => !e.hidden && e.getClientRects().length > 0);
const disabled = (page, id) => page.$eval("#" + id, (e) => e.disabled);
const clickId = (page, id) => page.click("#" + id);
const clickOp = (page, code) => page.click(`[data-op="${code}"]`);
const clickKey = (page, key) => page.click(`.key[data-key="${key}"]`);

// The notice on top, closed with its OK button; its text.
async function takeNotice(page) {
  assert.ok(await visible(page, "noticeBox"), "a notice is shown");
  const said = await text(page, "noticeText");
  await clickId(page, "noticeOk");
  return said;
}

async function chooseUnit(page, unit, question) {
  await clickId(page, "btnChangeTangen");
  assert.ok(await visible(page, "frmMondai"));
  await page.click(`#lstTangen [role="option"]:nth-child(${unit})`);
  await page.click(`#mondaiList .mondai-q:nth-child(${question}) button`);
  await clickId(page, "btnOK");
  assert.ok(!(await visible(page, "frmMondai")));
}

async function recordRows(page) {
  await clickId(page, "btnRecord");
  const rows = await page.$$eval("#lstTitle li", (li) => li.map((e) => e.textContent));
  await clickId(page, "btnKirokuClose");
  return rows;
}

// A page in a browser context of its own: an empty record, no set kept, no service worker.
async function fresh(width = 1366, height = 768, url = server.url) {
  const context = await browser.createBrowserContext();
  const page = await openDrill(context, url, width, height);
  const close = page.close.bind(page);
  page.close = async () => { await close(); await context.close(); };
  return page;
}

// ------------------------------------------------------------ the drill

test("opens on unit 1 question 1 with the whole drill on screen", async () => {
  for (const [w, h] of [[1366, 650], [1080, 740]]) {
    const page = await fresh(w, h);
    assert.equal(await text(page, "pageCaption"), "一次方程式（１）基本");
    assert.equal(await text(page, "lblMess"), "式を指定してください");
    assert.equal(await disabled(page, "btnShiki1"), false);
    assert.equal(await disabled(page, "btnShiki2"), true);
    const extent = await page.evaluate(() => [document.documentElement.scrollWidth, document.documentElement.scrollHeight]);
    assert.deepEqual(extent, [w, h], `${w}x${h} shows everything without scrolling`);
    const small = await page.$$eval("button:not([hidden])", (bs) =>
      bs.filter((b) => b.getClientRects().length > 0).map((b) => [b.textContent, b.getBoundingClientRect()])
        .filter(([, r]) => r.width < 44 || r.height < 44).map(([t]) => t));
    assert.deepEqual(small, [], "every control is at least 44 px");
    const unnamed = await page.$$eval("button", (bs) => bs.filter((b) => !(b.getAttribute("aria-label") || b.textContent.trim())).length);
    assert.equal(unnamed, 0);
    assert.deepEqual(page.solvariErrors.filter((e) => !e.includes("404")), []);
    await page.close();
  }
});

test("a question solved by clicks is counted in the record", async () => {
  const page = await fresh();
  await clickId(page, "btnShiki1");
  assert.equal(await text(page, "lblMess"), "①式");
  await clickOp(page, "/");
  await clickKey(page, "Digit2");
  assert.equal(await text(page, "pnlNumber"), "2");
  assert.equal(await text(page, "lblMess"), "①式÷2");
  await clickId(page, "btnJikkou");
  assert.equal(await text(page, "lblMess"), "解が出ました");
  assert.ok(await visible(page, "grbKai"));
  assert.equal(await text(page, "answerText"), "【答】x=3");
  assert.match(await text(page, "checkText"), /^検算/);
  await page.waitForFunction(() => document.activeElement.id === "btnNext", { timeout: 2000 });
  const rows = await recordRows(page);
  assert.deepEqual(rows.slice(0, 4).filter((r) => !r.includes("年")), ["一次方程式（１）基本", "  1★", "  2"]);
  // kept across a reload of the page
  await page.reload();
  await page.waitForFunction(() => window.solvariReady !== undefined);
  assert.ok((await recordRows(page)).includes("  1★"));
  await page.close();
});

test("自分で計算する: a written line is refused naming the mistake, then taken; the switch is kept", async () => {
  const page = await fresh(1366, 650);
  await clickId(page, "btnWriteLines");
  assert.equal(await page.$eval("#btnWriteLines", (e) => e.getAttribute("aria-pressed")), "true");
  for (const [w, h] of [[1366, 650], [1080, 740]]) {
    await page.setViewport({ width: w, height: h });
    const extent = await page.evaluate(() => [document.documentElement.scrollWidth, document.documentElement.scrollHeight]);
    assert.deepEqual(extent, [w, h], `${w}x${h} still shows everything with the writing keys`);
  }
  const lineKey = (k) => page.click(`[data-line-key="${k}"]`);
  await clickId(page, "btnShiki1");
  await clickOp(page, "/");
  await clickKey(page, "Digit2");
  await clickId(page, "btnJikkou");
  assert.equal(await text(page, "lblMess"), "計算した式を書いて［実行］を押してください");
  await clickKey(page, "Letter");
  await lineKey("=");
  await clickKey(page, "Digit6");
  assert.equal(await text(page, "pnlNumber"), "x=6");
  await clickId(page, "btnJikkou");
  assert.match(await text(page, "lblMess"), /右辺/, "one side only is named");
  assert.equal(await disabled(page, "btnMiru"), true, "答えを見る waits for a second wrong line");
  await lineKey("Back");
  await clickKey(page, "Digit3");
  await clickId(page, "btnJikkou");
  assert.equal(await text(page, "lblMess"), "解が出ました");
  assert.equal(await text(page, "answerText"), "【答】x=3");
  assert.ok((await recordRows(page)).some((r) => r.includes("★")));
  await page.reload();
  await page.waitForFunction(() => window.solvariReady !== undefined);
  assert.equal(await page.$eval("#btnWriteLines", (e) => e.getAttribute("aria-pressed")), "true", "kept for the next visit");
  await page.close();
});

test("a question solved by keys", async () => {
  const page = await fresh();
  await clickId(page, "btnNext");  // unsolved: asked first
  assert.ok(await visible(page, "questionBox"));
  assert.equal(await text(page, "questionText"), "まだ解が出ていませんが次の問題に進みますか");
  await clickId(page, "questionYes");
  assert.equal(await text(page, "lblMess"), "式を指定してください");  // question 2: 3x=-12
  await page.keyboard.press("Shift");  // picks the newest line
  assert.equal(await text(page, "lblMess"), "①式");
  await page.keyboard.type("/3");
  assert.equal(await text(page, "lblMess"), "①式÷3");
  await page.keyboard.press("Enter");
  assert.equal(await text(page, "lblMess"), "解が出ました");
  assert.equal(await text(page, "answerText"), "【答】x=-4");
  await page.close();
});

test("a refused step says why and 訂正 takes back the step, then the line", async () => {
  const page = await fresh();
  await clickId(page, "btnShiki1");
  await clickId(page, "btnShiki1");
  assert.equal(await takeNotice(page), "操作が誤りです。例①＋②［実行］");
  assert.equal(await text(page, "lblMess"), "①式");
  await clickOp(page, "*");
  await clickId(page, "btnMinus");
  await clickKey(page, "Digit3");
  await clickId(page, "btnMinus");
  assert.equal(await takeNotice(page), "－の位置が間違っています");
  assert.equal(await text(page, "lblMess"), "①式×(-3");
  await clickId(page, "btnTeisei");
  assert.equal(await text(page, "lblMess"), "");
  assert.equal(await text(page, "pnlNumber"), "");
  assert.equal(await disabled(page, "btnJikkou"), true);
  // a written line, then 訂正 twice: the step is gone, then the line
  await clickId(page, "btnShiki1");
  await clickOp(page, "*");
  await clickKey(page, "Digit3");
  await clickId(page, "btnJikkou");
  assert.equal(await disabled(page, "btnShiki2"), false);
  await clickId(page, "btnTeisei");
  assert.equal(await disabled(page, "btnShiki2"), true);
  await page.close();
});

test("a hint names the next step in the strip", async () => {
  const page = await fresh();
  await clickId(page, "btnHint");
  const hint = await text(page, "lblMess");
  assert.notEqual(hint, "式を指定してください");
  assert.match(hint, /①/);
  await page.keyboard.type("?");  // the key gives the same
  assert.equal(await text(page, "lblMess"), hint);
  await page.close();
});

test("解なし and 解は無数 are chosen in the dialog, a wrong choice is asked again", async () => {
  const page = await fresh();
  await chooseUnit(page, 11, 1);  // 2x+1=2x+3
  assert.equal(await text(page, "pageCaption"), "一次方程式（１１）特別な解");
  await clickId(page, "btnShiki1");
  await clickOp(page, "I");
  await clickId(page, "btnJikkou");
  await clickId(page, "btnShiki2");
  await clickOp(page, "S");
  await clickId(page, "btnJikkou");
  assert.ok(await visible(page, "frmSentaku"), "the choice is asked");
  await clickId(page, "btnMusu");
  assert.equal(await takeNotice(page), "解が無数？？もう一度考えてみましょう");
  assert.ok(await visible(page, "frmSentaku"), "and asked again");
  await clickId(page, "btnKainashi");
  assert.equal(await text(page, "answerText"), "【答】解なし");
  assert.equal(await text(page, "lblMess"), "解が出ました");

  await clickId(page, "btnNext");  // 3(x+2)=3x+6, by keys, answered with Alt+A
  for (const k of ["k", "i", "s"]) {
    await page.keyboard.press("Shift");
    await page.keyboard.press(k);
    await page.keyboard.press("Enter");
  }
  assert.ok(await visible(page, "frmSentaku"));
  await page.keyboard.down("Alt");
  await page.keyboard.press("a");
  await page.keyboard.up("Alt");
  assert.equal(await text(page, "answerText"), "【答】解は無数にある");
  const rows = await recordRows(page);
  const unit = rows.indexOf("一次方程式（１１）特別な解");
  assert.deepEqual(rows.slice(unit + 2, unit + 4), ["  1★", "  2★"]);
  await page.close();
});

test("the unit window changes unit and question, cancel keeps the page", async () => {
  const page = await fresh();
  await clickId(page, "btnShiki1");
  await clickId(page, "btnChangeTangen");
  assert.equal(await page.$$eval("#lstTangen [role=option]", (o) => o.length), 11);
  await clickId(page, "btnCancel");
  assert.equal(await text(page, "lblMess"), "①式");
  await chooseUnit(page, 3, 2);
  assert.equal(await text(page, "pageCaption"), "一次方程式（３）かっこ");
  assert.equal(await text(page, "lblMess"), "式を指定してください");
  await page.close();
});

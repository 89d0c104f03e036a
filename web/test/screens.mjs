// Screenshots of the drill at the sizes it must fit: node test/screens.mjs SITE_DIR OUT_DIR
import { mkdirSync } from "node:fs";
import { resolve } from "node:path";
import { serve, launch, openDrill } from "./browser.mjs";

const [site, out] = process.argv.slice(2).map((p) => resolve(p));
mkdirSync(out, { recursive: true });
const server = await serve(site);
const browser = await launch();
try {
  for (const [w, h] of [[1366, 768], [1080, 810], [1366, 650], [1080, 740], [810, 1000]]) {
    const page = await openDrill(browser, server.url, w, h);
    await page.screenshot({ path: `${out}/drill-${w}x${h}.png` });
    if ((w === 1366 && h === 768) || (w === 1080 && h === 810)) {
      // the unit window (問題集を開く) and the record viewer (書き出す, 読み込む)
      await page.click("#btnChangeTangen");
      await page.screenshot({ path: `${out}/unit-${w}x${h}.png` });
      await page.click("#btnShowRecord");
      await page.screenshot({ path: `${out}/records-${w}x${h}.png` });
      await page.click("#btnKirokuClose");
      await page.click("#btnCancel");
    }
    const fits = await page.evaluate(() => [document.documentElement.scrollWidth, document.documentElement.scrollHeight]);
    console.log(`${w}x${h}: page ${fits[0]}x${fits[1]}`, page.solvariErrors.join(" | "));
    await page.close();
  }
} finally {
  await browser.close();
  await server.close();
}
